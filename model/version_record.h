// The platform's fixed file version record (VS_FIXEDFILEINFO) as the install
// description stores it: 52 bytes, thirteen little-endian DWORDs.
#pragma once

#include "little_endian.h"

constexpr DWORD VERSION_RECORD_SIZE = 52;
constexpr DWORD VERSION_RECORD_SIGNATURE = 0xFEEF04BD;

// DWORD indexes within the record.
enum {
    VERSION_DW_SIGNATURE = 0,
    VERSION_DW_STRUC_VERSION = 1,
    VERSION_DW_FILE_MS = 2,
    VERSION_DW_FILE_LS = 3,
    VERSION_DW_PRODUCT_MS = 4,
    VERSION_DW_PRODUCT_LS = 5,
};

inline DWORD VersionRecordDword(const BYTE* record, int index) { return ReadLE32(record + 4 * index); }

// The product version as one number: most significant DWORD first, both unsigned.
inline ULONGLONG ProductVersionOf(const BYTE* record)
{
    return (static_cast<ULONGLONG>(VersionRecordDword(record, VERSION_DW_PRODUCT_MS)) << 32) |
           VersionRecordDword(record, VERSION_DW_PRODUCT_LS);
}
