#include "app/ApplicationSetup.h"

#include "app/ImageHandlers.h"

#include <wx/app.h>

void SetUpApplication(wxApp& app)
{
    app.SetVendorName(wxT("Quillon"));
    app.SetAppName(wxT("PixmoraApp"));
    RegisterImageHandlers();
}
