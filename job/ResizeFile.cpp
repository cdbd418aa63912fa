#include "job/ResizeFile.h"

// placeholder until the job lands
bool ResizeFile(bool&, const wxString&, const wxString&, int, int, int, int)
{
    return false;
}
