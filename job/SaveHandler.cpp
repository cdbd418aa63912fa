#include "job/SaveHandler.h"

wxString OutputExtension(const wxString& path)
{
    return path.AfterLast(wxT('.')).Lower();
}

wxImageHandler* FindSaveHandler(const wxString& extension)
{
    for (wxObject* object : wxImage::GetHandlers())
    {
        auto* handler = static_cast<wxImageHandler*>(object);
        if (handler->GetExtension() == extension)
            return handler;
    }
    return nullptr;
}
