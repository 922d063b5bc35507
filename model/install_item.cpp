#include "install_item.h"

#include <cstring>

#include "archive.h"

IMPLEMENT_SERIAL(CInstallDir, CObject, 0)
IMPLEMENT_SERIAL(CInstalledFile, CObject, 2)

const FileFlagName FILE_FLAG_NAMES[4] = {
    {FILE_SELFREG, "selfreg"},
    {FILE_SELFREG_ABSENT, "selfreg-absent"},
    {FILE_SHORTCUT, "shortcut"},
    {FILE_SHARED, "shared"},
};

void CInstallDir::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_strName;
    else
        ar >> m_strName;
}

CInstalledFile::CInstalledFile() : m_dwSize(0), m_dwFlags(0)
{
    std::memset(m_VersionInfo, 0, sizeof m_VersionInfo);
}

void CInstalledFile::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strName << m_dwFlags << m_dwSize;
        ar.Write(m_VersionInfo, sizeof m_VersionInfo);
    } else {
        ar >> m_strName >> m_dwFlags >> m_dwSize;
        // A short version record at the end of the data is no failure by
        // itself; the bytes that did not arrive stay zero.
        std::memset(m_VersionInfo, 0, sizeof m_VersionInfo);
        ar.Read(m_VersionInfo, sizeof m_VersionInfo);
    }
}

// The same rule as the path helpers' file-name part: a trailing backslash and
// the first two characters (a drive or the start of a UNC name) never separate.
std::string CInstalledFile::GetShortName() const
{
    for (size_t i = m_strName.size() >= 2 ? m_strName.size() - 2 : 0; i >= 2; --i)
        if (m_strName[i] == '\\')
            return m_strName.substr(i + 1);
    return m_strName;
}
