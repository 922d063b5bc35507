// Little-endian integers in byte buffers: the byte order of every file the
// installer reads or writes, whatever the host's own order.
#pragma once

#include "framework/wintypes.h"

inline WORD ReadLE16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

inline DWORD ReadLE32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

inline void WriteLE16(BYTE* p, WORD value)
{
    p[0] = static_cast<BYTE>(value);
    p[1] = static_cast<BYTE>(value >> 8);
}

inline void WriteLE32(BYTE* p, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(value >> (8 * i));
}
