#include "app/PixmoraApp.h"

wxIMPLEMENT_APP(PixmoraApp);
