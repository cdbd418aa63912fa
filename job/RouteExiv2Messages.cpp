#include "job/RouteExiv2Messages.h"

#include "codecs/LibraryMessages.h"

#include <wx/log.h>

#include <exiv2/exiv2.hpp>

namespace
{

const char* LevelName(int level)
{
    switch (level)
    {
    case Exiv2::LogMsg::debug:
        return "debug";
    case Exiv2::LogMsg::info:
        return "info";
    case Exiv2::LogMsg::warn:
        return "warning";
    default:
        return "error";
    }
}

// Called by the library from whatever it is doing; nothing may be thrown
// back into it.
void Exiv2MessageToLog(int level, const char* text) noexcept
{
    try
    {
        if (!wxLog::GetVerbose() ||
            !wxLog::IsLevelEnabled(wxLOG_Info, wxASCII_STR(PIXMORA_LIBRARY_LOG_COMPONENT)))
            return;
        wxString message = wxString::FromUTF8(text);
        message.Trim();
        wxLogger(wxLOG_Info, __FILE__, __LINE__, __func__, PIXMORA_LIBRARY_LOG_COMPONENT)
            .Log(wxT("Exiv2 %s: %s"), LevelName(level), message);
    }
    catch (...)
    {
    }
}

} // namespace

void RouteExiv2Messages()
{
    Exiv2::LogMsg::setHandler(Exiv2MessageToLog);
}
