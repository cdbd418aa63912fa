#include "app/ImageHandlers.h"

#include "codecs/qlJPEGHandler.h"
#include "codecs/qlTIFFHandler.h"

#include <wx/image.h>

void RegisterImageHandlers()
{
    // Our codecs are the only JPEG and TIFF handlers: they carry the ICC
    // profile, which the toolkit's own ones would drop.
    wxImage::AddHandler(new wxXPMHandler);
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new qlJPEGHandler);
    wxImage::AddHandler(new wxGIFHandler);
    wxImage::AddHandler(new qlTIFFHandler);
}
