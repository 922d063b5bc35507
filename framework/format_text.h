// printf-style formatting into a string that is always as long as the result.
// Every text that carries a name from the engine is built here, so a name of
// any length (also past the platform's 260-character path limit) shows in
// full: nothing is cut, and no fixed buffer can be overrun.
#pragma once

#include <cstdarg>
#include <string>

#ifdef __GNUC__
#define SETUP_PRINTF_FORMAT(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define SETUP_PRINTF_FORMAT(fmt, first)
#endif

std::string FormatText(const char* pszFormat, ...) SETUP_PRINTF_FORMAT(1, 2);
// The same with the arguments of a caller's own variable list.
std::string FormatTextV(const char* pszFormat, va_list args);
