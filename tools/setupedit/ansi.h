// Text conversion between the manifest (UTF-8, as JSON is) and the install
// description, whose strings are in the product's ANSI code page (Windows-1252).
#pragma once

#include <string>

// Converts UTF-8 to Windows-1252. False when the text is not valid UTF-8 or
// holds a character that the code page cannot represent.
bool Utf8ToAnsi(const std::string& utf8, std::string& ansi);

// Converts Windows-1252 to UTF-8; the five unassigned bytes become the
// control characters of the same number, as the platform maps them.
std::string AnsiToUtf8(const std::string& ansi);

// Line breaks of any kind (LF, CR, CR LF) become CR LF.
std::string ToCrLf(const std::string& text);
