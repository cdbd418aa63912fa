#include "fuzz/FuzzToolkit.h"

#include <wx/init.h>
#include <wx/log.h>

void StartToolkitForFuzzing()
{
    static const bool started = []
    {
        wxInitialize();
        wxLog::EnableLogging(false);
        return true;
    }();
    (void)started;
}
