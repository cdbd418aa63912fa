#include "app/ApplicationSetup.h"

#include "app/ImageHandlers.h"

#include <wx/app.h>

void SetUpApplication(wxAppConsole& app)
{
    app.SetVendorName(wxT("Quillon"));
    app.SetAppName(wxT("PixmoraApp"));
    RegisterImageHandlers();
}
