#include "install_mngr.h"

#include <cstring>

#include "archive.h"
#include "little_endian.h"
#include "path_component.h"
#include "tracked_block.h"

IMPLEMENT_SERIAL(CInstallMngr, CObject, 1)
IMPLEMENT_SERIAL(CSetupEdit, CInstallMngr, 1)

namespace {

CInstallMngr* g_pProgressTarget = nullptr;

// Every file's name and every directory name below the first level must be
// one plain path component: anything else would make the copy fail or write
// outside the directory it belongs to. The first-level names are symbolic.
bool HasPlainNames(const InstallNode& node, bool checkDirName)
{
    if (checkDirName && !(node.dir && IsPlainComponent(node.dir->m_strName)))
        return false;
    for (POSITION pos = node.files.GetHeadPosition(); pos;)
        if (!IsPlainComponent(node.files.GetNext(pos)->GetShortName()))
            return false;
    for (POSITION pos = node.children.GetHeadPosition(); pos;)
        if (!HasPlainNames(*node.children.GetNext(pos), node.parent != nullptr))
            return false;
    return true;
}

}  // namespace

CInstallMngr::CInstallMngr()
    : m_nMediaType(0), m_wOpaque(0), m_nDrive(0), m_chWinDrive(0), m_dwAppBytes(0), m_dwSysBytes(0),
      m_dwOpaque(0), m_dwUninstBytes(0), m_dwExtraBytes(0), m_dwInfoTextLen(0), m_pInfoText(nullptr),
      m_pfnCallback(nullptr), m_dwDoneBytes(0), m_dwTotalBytes(0), m_wDisk(0), m_dwVolumeLeft(0),
      m_pfnPostInstall(nullptr)
{
    std::memset(m_abIdentity, 0, sizeof m_abIdentity);
}

CInstallMngr::~CInstallMngr()
{
    if (g_pProgressTarget == this)
        g_pProgressTarget = nullptr;
    ClearTree();
    SetInfoText(nullptr);
}

void CInstallMngr::PrepareLoad()
{
    m_nMediaType = 0;
    m_wOpaque = 0;
    m_dwAppBytes = m_dwSysBytes = m_dwOpaque = m_dwUninstBytes = m_dwExtraBytes = 0;
    SetInfoText(nullptr);
    std::memset(m_abIdentity, 0, sizeof m_abIdentity);
    m_dwDoneBytes = m_dwTotalBytes = 0;
    m_DataFile.Abort();
    m_wDisk = 0;
    m_dwVolumeLeft = 0;
    ResetPosition();
    g_pProgressTarget = this;
}

void CInstallMngr::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.Write(InstallSignature, sizeof InstallSignature);
        ar.Write(m_abIdentity, sizeof m_abIdentity);
        SerializeTree(ar);
        ar << static_cast<BYTE>(m_nMediaType) << m_wOpaque;
        ar << m_dwAppBytes << m_dwSysBytes << m_dwOpaque << m_dwUninstBytes << m_dwExtraBytes;
        ar << m_strDestDir << m_strProductTitle << m_strProgramFolder;
        // A length without a text behind it would not read back.
        DWORD length = m_pInfoText ? m_dwInfoTextLen : 0;
        ar << length << m_strInfoTitle;
        ar.Write(m_pInfoText, length);
        return;
    }

    m_strMainExe = "Tessel.exe";
    SerializeTree(ar);
    BYTE mediaType;
    ar >> mediaType;
    m_nMediaType = (m_nMediaType & ~0xFF) | mediaType;
    ar >> m_wOpaque;
    ar >> m_dwAppBytes >> m_dwSysBytes >> m_dwOpaque >> m_dwUninstBytes >> m_dwExtraBytes;
    ar >> m_strDestDir >> m_strProductTitle >> m_strProgramFolder;
    DWORD length;
    ar >> length;
    ReadInfoText(ar, length);
}

// The title, then the text: the old text goes first, so that the length and
// the block agree whatever point a damaged record fails at.
void CInstallMngr::ReadInfoText(CArchive& ar, DWORD length)
{
    SetInfoText(nullptr);
    ar >> m_strInfoTitle;
    if (length == 0)
        return;
    ar.Require(length);
    if (length == 0xFFFFFFFF)  // no room for the terminator
        ar.ThrowArchive(CArchiveException::endOfFile);
    char* text = static_cast<char*>(AllocTrackedBlock(length + 1, ""));
    if (!text)
        ar.ThrowArchive(CArchiveException::genericException);
    std::memset(text, 0, length + 1);
    ar.Read(text, length);
    m_pInfoText = text;
    m_dwInfoTextLen = length;
}

int CInstallMngr::ReadSignature(CArchive& ar)
{
    BYTE signature[sizeof InstallSignature];
    if (ar.Read(signature, sizeof signature) != sizeof signature ||
        ReadLE32(signature) != INSTALL_SIGNATURE_MAGIC)
        return 0;
    return ar.Read(m_abIdentity, sizeof m_abIdentity) == sizeof m_abIdentity ? 1 : 0;
}

int CInstallMngr::LoadRecord(CFile& file)
{
    CArchive ar(&file, CArchive::load);
    if (!ReadSignature(ar))
        return 0;
    Serialize(ar);
    ar.Close();
    return 1;
}

void CInstallMngr::StoreRecord(CFile& file)
{
    CArchive ar(&file, CArchive::store);
    Serialize(ar);
    ar.Close();
}

void CInstallMngr::SetInfoText(const char* text)
{
    DWORD length = text ? static_cast<DWORD>(std::strlen(text)) : 0;
    if (m_pInfoText)
        FreeTrackedBlock(m_pInfoText);
    m_pInfoText = nullptr;
    if (length) {
        m_pInfoText = static_cast<char*>(AllocTrackedBlock(length + 1, ""));
        if (m_pInfoText)
            std::memcpy(m_pInfoText, text, length + 1);
        else
            length = 0;
    }
    m_dwInfoTextLen = length;
}

char CInstallMngr::GetDriveLetter(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_abDrives.size())
        return '\0';
    return static_cast<char>(m_abDrives[index] + 0x40);
}

DWORD CInstallMngr::GetProductId() const { return ReadLE32(m_abIdentity + 4); }

bool CInstallMngr::HasInstallLayout() const
{
    // Only the application and the system directory are bound to real paths
    // while files are copied: a further first-level directory would be taken
    // by its stored name as a path of its own, and a file beside them would
    // land in the root of the current drive.
    const InstallNode& root = GetRoot();
    return root.children.GetCount() == 2 && root.files.IsEmpty() && IsValidMediaType(m_nMediaType) &&
           HasPlainNames(root, false);
}

void CInstallMngr::RunPostInstallHook()
{
    if (m_pfnPostInstall)
        m_pfnPostInstall(this);
}

void SetProgressTarget(CInstallMngr* target) { g_pProgressTarget = target; }

int ReportProgress(UINT bytes)
{
    CInstallMngr* engine = g_pProgressTarget;
    if (!engine)
        return 1;
    engine->m_dwDoneBytes += bytes;
    // Counts that overshoot their total (or a total of 0) show as complete
    // rather than wrapping the 16-bit percentage.
    double percent = engine->m_dwTotalBytes
                         ? static_cast<double>(engine->m_dwDoneBytes) / engine->m_dwTotalBytes * 100.0
                         : 100.0;
    WORD shown = percent >= 100.0 ? 100 : static_cast<WORD>(percent);
    if (!engine->m_pfnCallback)
        return 1;
    return engine->m_pfnCallback(SETUPCB_PROGRESS, shown, 0);
}
