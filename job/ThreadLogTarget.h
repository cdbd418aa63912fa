#pragma once

#include <wx/log.h>

/// Makes target the log target of the calling thread and returns the one it
/// replaces. The toolkit's active target belongs to the main thread: another
/// thread that set it would take the messages of the main thread too, and one
/// that sets none has its messages held back for the main thread to show.
wxLog* SetThreadLogTarget(wxLog* target);
