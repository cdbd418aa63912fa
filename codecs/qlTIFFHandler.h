#pragma once

#include <wx/image.h>

/// TIFF codec over libtiff that keeps the ICC profile of RGB sources in a
/// qlImage and writes it back. Constructing it routes libtiff's diagnostics
/// into the toolkit's log for the rest of the process.
class qlTIFFHandler : public wxImageHandler
{
public:
    qlTIFFHandler();

    bool LoadFile(wxImage* image, wxInputStream& stream, bool verbose = true,
                  int index = -1) override;
    bool SaveFile(wxImage* image, wxOutputStream& stream, bool verbose = true) override;

protected:
    int DoGetImageCount(wxInputStream& stream) override;
    bool DoCanRead(wxInputStream& stream) override;

private:
    wxDECLARE_DYNAMIC_CLASS(qlTIFFHandler);
};
