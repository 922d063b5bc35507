// Undoing a failed install run from the journal. Every step is tried whatever
// became of the steps before it, and nothing is reported: the run has failed
// already and the user is told so by the install sequence.
//
// Left as they are: directories the copy phase made, files that replaced
// existing ones (their old contents are gone) with their registrations, and
// the program items of files that stay in a group that was there before.
#include "engine/setup_engine.h"

#include "engine/registry_entries.h"
#include "platform/registry.h"

namespace {

void RemoveQuietly(const std::string& strPath)
{
    try {
        CFile::Remove(strPath.c_str());
    } catch (const CFileException&) {
    }
}

// Puts a value this run wrote back as it was: its old type and bytes, or
// none.
void RestoreValue(HKEY root, const std::string& strKey, const SavedValue& saved)
{
    if (!saved.bWritten)
        return;
    if (saved.lBefore == ERROR_SUCCESS)
        SetRegValue(root, strKey, saved.strName, saved.previous);
    else if (saved.lBefore == ERROR_FILE_NOT_FOUND)
        DeleteRegValue(root, strKey, saved.strName);
}

// Deletes a key this run created; puts back the values of one that was there.
void RestoreKey(const std::string& strKey, const SavedKey& saved)
{
    if (saved.bCreated) {
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, strKey);
        return;
    }
    RestoreValue(HKEY_LOCAL_MACHINE, strKey, saved.first);
    RestoreValue(HKEY_LOCAL_MACHINE, strKey, saved.second);
}

}  // namespace

void CSetupEngine::Rollback()
{
    // A failed copy leaves the first-level directories named by their real
    // paths, a later failure by their stored names: bind them again.
    ResetPosition();
    InstallNode& root = GetRoot();
    const std::string* bound[] = {&m_strDestDir, &m_strSysDir};
    POSITION pos = root.children.GetHeadPosition();
    for (const std::string* pName : bound) {
        if (!pos)
            break;
        InstallNode* node = root.children.GetNext(pos);
        if (node->dir)
            node->dir->SetName(*pName);
    }

    // The items go before the files they start; a file's registration is
    // undone while its code is still there to do it.
    RemoveProgramFolder();
    for (POSITION file = m_journal.m_lstSelfRegistered.GetHeadPosition(); file;) {
        const CInstalledFile* pFile = m_journal.m_lstSelfRegistered.GetNext(file);
        if (m_journal.m_lstNewFiles.Find(pFile))
            SelfUnregisterFile(pFile->m_strName);
    }
    if (m_journal.m_bUninstCreated)
        RemoveQuietly(m_strDestDir + "\\" + UNINSTALLER_NAME);
    for (POSITION file = m_journal.m_lstNewFiles.GetHeadPosition(); file;)
        RemoveQuietly(m_journal.m_lstNewFiles.GetNext(file)->m_strName);

    RestoreKey(AppPathKey(m_strMainExe), m_journal.m_appPath);
    RestoreKey(UninstallKey(m_strProductTitle), m_journal.m_uninstKey);

    for (POSITION file = m_journal.m_lstCountedDlls.GetHeadPosition(); file;) {
        const std::string& strName = m_journal.m_lstCountedDlls.GetNext(file)->m_strName;
        DWORD dwCount = 0;
        if (GetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strName, dwCount) != ERROR_SUCCESS)
            continue;
        // This run wrote at least 1; a 0 found now must not wrap around.
        if (dwCount <= 1)
            DeleteRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strName);
        else
            SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strName, dwCount - 1);
    }
    for (const SavedValue& saved : m_journal.m_lstReplacedCounts)
        RestoreValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, saved);

    // A file type that was there before keeps what this run wrote into it.
    if (m_journal.m_bExtWritten && !m_journal.m_bExtExisted)
        DeleteRegKeyTree(HKEY_CLASSES_ROOT, ExtensionKey(m_strResExt));
    if (m_journal.m_bDocTypeWritten && !m_journal.m_bDocTypeExisted)
        DeleteRegKeyTree(HKEY_CLASSES_ROOT, DocTypeKey(m_strMainExe));
}
