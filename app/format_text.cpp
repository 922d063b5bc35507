#include "app/format_text.h"

#include <cstdarg>
#include <cstdio>

std::string FormatText(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list measure;
    va_copy(measure, args);
    const int nLength = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);

    std::string strText;
    if (nLength > 0) {
        strText.resize(static_cast<size_t>(nLength) + 1);
        std::vsnprintf(&strText[0], strText.size(), pszFormat, args);
        strText.resize(static_cast<size_t>(nLength));
    }
    va_end(args);
    return strText;
}
