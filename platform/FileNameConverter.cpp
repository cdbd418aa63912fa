#include "platform/FileNameConverter.h"

const wxMBConv& FileNameConverter()
{
    return *wxConvFileName;
}
