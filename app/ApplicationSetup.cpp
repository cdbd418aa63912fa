#include "app/ApplicationSetup.h"

#include "Identity.h"
#include "app/ImageHandlers.h"
#include "job/PrepareMetadataLibrary.h"
#include "job/RouteExiv2Messages.h"

#include <wx/app.h>

void SetUpApplication(wxAppConsole& app)
{
    app.SetVendorName(wxString::FromUTF8(PIXMORA_VENDOR));
    app.SetAppName(wxString::FromUTF8(PIXMORA_APP_NAME));
    RegisterImageHandlers();
    PrepareMetadataLibrary();
    RouteExiv2Messages();
}
