// Version resources of executables and libraries. The raw resource is held
// in a tracked block only for the duration of a call.
#pragma once

#include <string>

#include <windows.h>

// Index order of the version strings read by ReadVersionStrings.
enum {
    VERSTR_COMPANYNAME,
    VERSTR_FILEDESCRIPTION,
    VERSTR_FILEVERSION,
    VERSTR_INTERNALNAME,
    VERSTR_LEGALCOPYRIGHT,
    VERSTR_ORIGINALFILENAME,
    VERSTR_PRODUCTNAME,
    VERSTR_PRODUCTVERSION,
    VERSTR_COUNT
};

#include "model/version_record.h"

// Size of the fixed version record (VS_FIXEDFILEINFO).
constexpr DWORD FIXED_VERSION_SIZE = VERSION_RECORD_SIZE;

// Reads the eight standard strings of the first translation of the file's
// version resource. TRUE only when all eight were found; on FALSE the
// strings found before the first missing one are already stored in out.
BOOL ReadVersionStrings(const std::string& path, std::string out[VERSTR_COUNT]);

// Copies the file's fixed version record. FALSE when the file has none (the
// last error tells why; ERROR_NOT_ENOUGH_MEMORY when no block could be had).
BOOL ReadFixedVersion(const std::string& path, BYTE out[FIXED_VERSION_SIZE]);
