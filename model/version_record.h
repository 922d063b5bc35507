// The platform's fixed file version record (VS_FIXEDFILEINFO) as the install
// description stores it: 52 bytes, thirteen little-endian DWORDs.
#pragma once

#include <string>

#include "framework/format_text.h"
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

// The product version as the platform shows it, "1.2.0.4"; empty for a record
// without the signature (a file without a version).
inline std::string ProductVersionText(const BYTE* record)
{
    if (VersionRecordDword(record, VERSION_DW_SIGNATURE) != VERSION_RECORD_SIGNATURE)
        return std::string();
    const DWORD dwMs = VersionRecordDword(record, VERSION_DW_PRODUCT_MS);
    const DWORD dwLs = VersionRecordDword(record, VERSION_DW_PRODUCT_LS);
    return FormatText("%u.%u.%u.%u", static_cast<unsigned>(dwMs >> 16), static_cast<unsigned>(dwMs & 0xFFFF),
                      static_cast<unsigned>(dwLs >> 16), static_cast<unsigned>(dwLs & 0xFFFF));
}
