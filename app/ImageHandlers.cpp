#include "app/ImageHandlers.h"

#include <wx/image.h>

void RegisterImageHandlers()
{
    wxImage::AddHandler(new wxXPMHandler);
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new wxGIFHandler);
}
