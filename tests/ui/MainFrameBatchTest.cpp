#include "tests/ui/UiTestSupport.h"
