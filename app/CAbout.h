#pragma once

#include <wx/dialog.h>
