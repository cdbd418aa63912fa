#include "job/ToStdString.h"

std::string ToStdString(const wxString& text, const wxMBConv& converter)
{
    if (text.empty())
        return {};
    const wxScopedCharBuffer narrow = text.mb_str(converter);
    if (!narrow.data() || narrow.length() == 0)
        return {};
    return std::string(narrow.data(), narrow.length());
}
