#pragma once

#include <wx/image.h>

/// JPEG codec over libjpeg that carries the ICC profile of a qlImage through
/// APP2 markers and converts CMYK and YCCK sources to RGB itself.
class qlJPEGHandler : public wxImageHandler
{
public:
    qlJPEGHandler();

    bool LoadFile(wxImage* image, wxInputStream& stream, bool verbose = true,
                  int index = -1) override;
    bool SaveFile(wxImage* image, wxOutputStream& stream, bool verbose = true) override;

protected:
    bool DoCanRead(wxInputStream& stream) override;

private:
    wxDECLARE_DYNAMIC_CLASS(qlJPEGHandler);
};
