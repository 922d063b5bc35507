// On Windows the C runtime's own formatter does the work. The C++ library
// routes std::vsnprintf to a portable formatter of its own instead, which
// would add some 25 KB to Setup.exe for the few conversions used here
// (%s, %c, %u, %lx, %f); msvcrt's _vsnprintf is deprecated only in favour
// of the bounds-checked variants, and the buffer below is always sized first.
#ifdef _WIN32
#define _CRT_SECURE_NO_WARNINGS
#endif

#include "framework/format_text.h"

#include <cstdio>

namespace {

int MeasureFormatted(const char* pszFormat, va_list args)
{
#ifdef _WIN32
    return _vscprintf(pszFormat, args);
#else
    return std::vsnprintf(nullptr, 0, pszFormat, args);
#endif
}

// Writes the whole result and its terminating zero into a buffer that holds both.
void WriteFormatted(char* pszBuffer, size_t nSize, const char* pszFormat, va_list args)
{
#ifdef _WIN32
    _vsnprintf(pszBuffer, nSize, pszFormat, args);
#else
    std::vsnprintf(pszBuffer, nSize, pszFormat, args);
#endif
}

}  // namespace

std::string FormatTextV(const char* pszFormat, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int nLength = MeasureFormatted(pszFormat, measure);
    va_end(measure);

    std::string strText;
    if (nLength > 0) {
        strText.resize(static_cast<size_t>(nLength) + 1);
        WriteFormatted(&strText[0], strText.size(), pszFormat, args);
        strText.resize(static_cast<size_t>(nLength));
    }
    return strText;
}

std::string FormatText(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    std::string strText = FormatTextV(pszFormat, args);
    va_end(args);
    return strText;
}
