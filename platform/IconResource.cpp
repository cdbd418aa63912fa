#include "platform/IconResource.h"

wxIconBundle LoadIconResource(const wxString&)
{
    return wxIconBundle();
}
