#include "codecs/TIFFLogHandlers.h"

#include <wx/intl.h>
#include <wx/log.h>

extern "C" void TIFFWarningToLog(const char* module, const char*, va_list) noexcept
{
    if (module != nullptr)
        wxLogWarning(_("tiff module: %s"), wxString::FromAscii(module));
    wxLogWarning(_("TIFF library warning."));
}

extern "C" void TIFFErrorToLog(const char* module, const char*, va_list) noexcept
{
    if (module != nullptr)
        wxLogError(_("tiff module: %s"), wxString::FromAscii(module));
    wxLogError(_("TIFF library error."));
}
