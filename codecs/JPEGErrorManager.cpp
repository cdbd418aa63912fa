#include "codecs/JPEGErrorManager.h"

#include "codecs/LibraryMessages.h"

// Defined before the toolkit's log header so that its macros use it.
#define wxLOG_COMPONENT PIXMORA_LIBRARY_LOG_COMPONENT

#include <wx/intl.h>
#include <wx/log.h>

#include <jerror.h>

namespace
{

// The reason is kept for the caller's error line, which names what failed;
// printing it here as well would only repeat it.
extern "C" void JPEGErrorExit(j_common_ptr cinfo) noexcept
{
    auto* manager = reinterpret_cast<JPEGErrorManager*>(cinfo->err);
    manager->fatalCode = cinfo->err->msg_code;
    (*cinfo->err->format_message)(cinfo, manager->reason);
    std::longjmp(manager->setjmpBuffer, 1);
}

extern "C" void JPEGMessageToLog(j_common_ptr cinfo) noexcept
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    try
    {
        wxLogVerbose(_("JPEG library warning: %s"), wxString::FromAscii(text));
    }
    catch (...)
    {
        // Nothing may be thrown through the library's frames; a warning
        // that cannot be logged is dropped.
    }
}

extern "C" void JPEGSilentMessage(j_common_ptr) noexcept {}

} // namespace

jpeg_error_mgr* SetupJPEGErrorManager(JPEGErrorManager* manager, bool verbose) noexcept
{
    jpeg_error_mgr* pub = jpeg_std_error(&manager->pub);
    pub->error_exit = JPEGErrorExit;
    pub->output_message = verbose ? JPEGMessageToLog : JPEGSilentMessage;
    manager->fatalCode = 0;
    manager->reason[0] = '\0';
    return pub;
}

bool JPEGRanOutOfMemory(const JPEGErrorManager& manager) noexcept
{
    return manager.fatalCode == JERR_OUT_OF_MEMORY;
}
