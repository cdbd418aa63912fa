#include "platform/IconResource.h"

#include <wx/bitmap.h>
#include <wx/gdicmn.h>
#include <wx/icon.h>

#include <cstdlib>
#include <cstring>

#include "graphics/PixmoraIcon16_8bit.xpm"
#include "graphics/PixmoraIcon32_8bit.xpm"
#include "graphics/PixmoraIcon48_8bit.xpm"
#include "graphics/PixmoraIconRgba.h"

namespace
{

struct IconImage
{
    int size;
    const char* const* palette;
    const unsigned char* rgba;
};

// Largest first, as a Windows icon group lists them.
const IconImage kPixmoraIcon[] = {
    {48, PixmoraIcon48_8bit_xpm, PixmoraIcon48_rgba},
    {32, PixmoraIcon32_8bit_xpm, PixmoraIcon32_rgba},
    {16, PixmoraIcon16_8bit_xpm, PixmoraIcon16_rgba},
};

bool IsPixmoraIcon(const wxString& name)
{
    return name == wxT("PX_ICON");
}

wxImage PaletteImage(const IconImage& icon)
{
    return wxImage(icon.palette);
}

wxImage RgbaImage(const IconImage& icon)
{
    const size_t pixels = static_cast<size_t>(icon.size) * icon.size;
    // wxImage frees both buffers with free(), so they come from malloc.
    unsigned char* rgb = static_cast<unsigned char*>(malloc(pixels * 3));
    unsigned char* alpha = static_cast<unsigned char*>(malloc(pixels));
    for (size_t i = 0; i < pixels; ++i)
    {
        std::memcpy(rgb + i * 3, icon.rgba + i * 4, 3);
        alpha[i] = icon.rgba[i * 4 + 3];
    }
    return wxImage(icon.size, icon.size, rgb, alpha);
}

wxIcon IconFromImage(const wxImage& image)
{
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(image));
    return icon;
}

} // namespace

wxIconBundle LoadIconResource(const wxString& name)
{
    return LoadIconResource(name, wxDisplayDepth());
}

wxIconBundle LoadIconResource(const wxString& name, int displayDepth)
{
    wxIconBundle bundle;
    if (!IsPixmoraIcon(name))
        return bundle;
    // A bundle keeps one icon per size, so the depth is chosen here, as
    // Windows chooses among an icon group's images for the display.
    for (const IconImage& icon : kPixmoraIcon)
        bundle.AddIcon(IconFromImage(displayDepth <= 8 ? PaletteImage(icon) : RgbaImage(icon)));
    return bundle;
}

std::vector<wxImage> IconResourceImages(const wxString& name)
{
    std::vector<wxImage> images;
    if (!IsPixmoraIcon(name))
        return images;
    for (const IconImage& icon : kPixmoraIcon)
    {
        images.push_back(PaletteImage(icon));
        images.push_back(RgbaImage(icon));
    }
    return images;
}
