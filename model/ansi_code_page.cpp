#include "ansi_code_page.h"

namespace {

// Characters of bytes 0x80..0x9F; 0 where the byte is unassigned. Every other
// byte is the character of the same number.
const WORD kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

DWORD AnsiToUnicode(char ch)
{
    const BYTE b = static_cast<BYTE>(ch);
    if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0)
        return kHighControls[b - 0x80];
    return b;
}

bool UnicodeToAnsi(DWORD codePoint, char& out)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        out = static_cast<char>(codePoint);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == codePoint) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}
