// The items of the install tree: a directory and an installed file.
#pragma once

#include <string>

#include "framework/object.h"
#include "version_record.h"

// CInstalledFile::m_dwFlags
enum : DWORD {
    FILE_SELFREG = 1,         // register the file itself after installation
    FILE_SELFREG_ABSENT = 2,  // ... only when no file is at the target at registration time
    FILE_SHORTCUT = 4,        // add a Program Manager item for it
    FILE_SHARED = 8,          // reference-count it under SharedDLLs
};

// The flags' names in manifests and listings, in bit order.
struct FileFlagName {
    DWORD dwFlag;
    const char* pszName;
};
extern const FileFlagName FILE_FLAG_NAMES[4];

class CInstallDir : public CObject {
    DECLARE_SERIAL(CInstallDir)
public:
    CInstallDir() = default;
    void Serialize(CArchive& ar) override;
    void SetName(const std::string& name) { m_strName = name; }

    // One path component; for the two first-level directories a symbolic
    // name in stored files and the full path while files are copied.
    std::string m_strName;
};

class CInstalledFile : public CObject {
    DECLARE_SERIAL(CInstalledFile)
public:
    enum { VERSION_INFO_SIZE = VERSION_RECORD_SIZE };

    CInstalledFile();
    // Name, flags, size, then the version record: flags before size on disk.
    void Serialize(CArchive& ar) override;
    void SetName(const std::string& name) { m_strName = name; }
    // The file name without its directory: the part after the last backslash.
    std::string GetShortName() const;

    std::string m_strName;  // file name in a description, full installed path after copying
    DWORD m_dwSize;         // bytes of contents in the data volumes
    DWORD m_dwFlags;        // FILE_* bits
    // The platform's fixed file version record: thirteen little-endian DWORDs.
    BYTE m_VersionInfo[VERSION_INFO_SIZE];
};
