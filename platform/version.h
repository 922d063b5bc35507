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

// What ReadFixedVersion found.
enum FixedVersionResult {
    FIXED_VERSION_FOUND,      // out holds the record
    FIXED_VERSION_NONE,       // the file has no readable record (or is missing); out is untouched
    FIXED_VERSION_NO_MEMORY,  // a record is there but no block could be had to read it
};

// Copies the file's fixed version record. A file without one counts for the
// installer as older than any new file; a shortage of memory means the file
// could not be examined. The last error tells why on anything but FOUND.
FixedVersionResult ReadFixedVersion(const std::string& path, BYTE out[FIXED_VERSION_SIZE]);

// Asks the platform's version-install service (VerFindFileA) about the file
// fileName in appDir; bits VFF_CURNEDEST, VFF_FILEINUSE, VFF_BUFFTOOSMALL.
// flags: VFFF_ISSHAREDFILE for a shared file, else 0.
DWORD FindFileForInstall(DWORD flags, const std::string& fileName, const std::string& winDir,
                         const std::string& appDir);

// Test seam: Wine's service never reports a file in use. Until the answers
// are cleared, FindFileForInstall answers result for the file appDir\fileName
// (compared without regard to case) instead of asking the platform.
void SetFindFileAnswer(const std::string& path, DWORD result);
void ClearFindFileAnswers();
