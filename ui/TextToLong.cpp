#include "ui/TextToLong.h"

#include <algorithm>
#include <climits>
#include <cwchar>

long TextToLong(const wxString& text)
{
    const long number = std::wcstol(text.wc_str(), nullptr, 10);
    return std::clamp<long>(number, INT_MIN, INT_MAX);
}
