#include "app/CAbout.h"
