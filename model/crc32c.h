// CRC-32C (Castagnoli: polynomial 0x1EDC6F41, reflected, initial value and
// final XOR all ones), the checksum of a medium's files. It finds every
// burst of damage up to 32 bits and any other with odds of 1 in 2^32, and
// it runs at several GB/s while the bytes stream through the copy loop: on
// x86 by folding with carry-less multiplication and the CRC32 instruction
// (PCLMULQDQ and SSE4.2, asked of CPUID once), elsewhere by tables, eight
// lookups per 8 bytes.
#pragma once

#include <cstddef>

#include "framework/wintypes.h"

// The CRC of size more bytes after those whose CRC is crc (0 before the
// first): Crc32c(Crc32c(0, a), b) is the CRC of a followed by b. Its tables
// are made during static initialisation: not for other static initialisers.
DWORD Crc32c(DWORD crc, const void* data, size_t size);

// The table path alone, whatever the processor has (tests, the bench).
DWORD Crc32cByTable(DWORD crc, const void* data, size_t size);
// Whether Crc32c uses the processor's instructions.
bool HasCrc32cInstructions();
