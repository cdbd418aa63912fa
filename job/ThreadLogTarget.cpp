#include "job/ThreadLogTarget.h"

#include <wx/thread.h>

wxLog* SetThreadLogTarget(wxLog* target)
{
    if (wxThread::IsMain())
        return wxLog::SetActiveTarget(target);
    return wxLog::SetThreadActiveTarget(target);
}
