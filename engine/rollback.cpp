// Undoing a failed install run from the journal. Every step is tried whatever
// became of the steps before it, and nothing is reported: the run has failed
// already and the user is told so by the install sequence. The log names
// each step and its result.
//
// Left as they are: files that replaced existing ones (their old contents are
// gone) with their registrations, the program items of files that stay in a
// group that was there before, and a directory this run made that holds
// something else by now.
#include "engine/setup_engine.h"

#include "engine/registry_entries.h"
#include "framework/event_log.h"
#include "platform/disk.h"
#include "platform/registry.h"

namespace {

void LogStep(const std::string& strStep, LONG lResult)
{
    if (lResult == ERROR_SUCCESS)
        LogEvent("Rollback: %s", strStep.c_str());
    else
        LogEvent("Rollback: %s failed: error %ld", strStep.c_str(), static_cast<long>(lResult));
}

void RemoveQuietly(const std::string& strPath)
{
    LONG lResult = ERROR_SUCCESS;
    try {
        CFile::Remove(strPath.c_str());
    } catch (const CFileException& e) {
        lResult = e.m_lOsError;
    }
    LogStep("deleted " + strPath, lResult);
}

void DeleteKey(HKEY root, const std::string& strKey)
{
    LogStep(std::string("deleted the key ") + (root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\") + strKey,
            DeleteRegKeyTree(root, strKey));
}

// Puts a value this run wrote back as it was: its old type and bytes, or
// none.
void RestoreValue(HKEY root, const std::string& strKey, const SavedValue& saved)
{
    if (!saved.bWritten)
        return;
    const std::string strName = RegValueName(root, strKey, saved.strName);
    if (saved.lBefore == ERROR_SUCCESS)
        LogStep("put back " + strName + " = " + DescribeRegValue(saved.previous),
                SetRegValue(root, strKey, saved.strName, saved.previous));
    else if (saved.lBefore == ERROR_FILE_NOT_FOUND)
        LogStep("deleted " + strName, DeleteRegValue(root, strKey, saved.strName));
}

// Deletes a key this run created; puts back the values of one that was there.
void RestoreKey(const std::string& strKey, const SavedKey& saved)
{
    if (saved.bCreated) {
        DeleteKey(HKEY_LOCAL_MACHINE, strKey);
        return;
    }
    RestoreValue(HKEY_LOCAL_MACHINE, strKey, saved.first);
    RestoreValue(HKEY_LOCAL_MACHINE, strKey, saved.second);
    for (const SavedValue& value : saved.others)
        RestoreValue(HKEY_LOCAL_MACHINE, strKey, value);
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
            LogStep("undid the self-registration of " + pFile->m_strName,
                    SelfUnregisterFile(pFile->m_strName) ? ERROR_SUCCESS : static_cast<LONG>(GetLastError()));
    }
    if (m_journal.m_bUninstCreated)
        RemoveQuietly(m_strDestDir + "\\" + UNINSTALLER_NAME);
    for (POSITION file = m_journal.m_lstNewFiles.GetHeadPosition(); file;)
        RemoveQuietly(m_journal.m_lstNewFiles.GetNext(file)->m_strName);
    // Deepest first; one that is not empty (a file of the user's, a log) stays.
    for (auto dir = m_journal.m_astrMadeDirs.rbegin(); dir != m_journal.m_astrMadeDirs.rend(); ++dir)
        LogStep("removed the directory " + *dir, static_cast<LONG>(RemoveEmptyDirectory(*dir)));

    RestoreKey(AppPathKey(m_strMainExe), m_journal.m_appPath);
    RestoreKey(UninstallKey(m_strProductTitle), m_journal.m_uninstKey);

    for (POSITION file = m_journal.m_lstCountedDlls.GetHeadPosition(); file;) {
        const std::string& strName = m_journal.m_lstCountedDlls.GetNext(file)->m_strName;
        DWORD dwCount = 0;
        if (GetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strName, dwCount) != ERROR_SUCCESS)
            continue;
        // This run wrote at least 1; a 0 found now must not wrap around.
        const std::string strValue = RegValueName(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strName);
        if (dwCount <= 1)
            LogStep("deleted " + strValue, DeleteRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strName));
        else
            LogStep(FormatText("put back %s = %lu", strValue.c_str(), static_cast<unsigned long>(dwCount - 1)),
                    SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strName, dwCount - 1));
    }
    for (const SavedValue& saved : m_journal.m_lstReplacedCounts)
        RestoreValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, saved);

    // A file type that was there before keeps what this run wrote into it.
    if (m_journal.m_bExtWritten && !m_journal.m_bExtExisted)
        DeleteKey(HKEY_CLASSES_ROOT, ExtensionKey(m_strResExt));
    if (m_journal.m_bDocTypeWritten && !m_journal.m_bDocTypeExisted)
        DeleteKey(HKEY_CLASSES_ROOT, DocTypeKey(m_strMainExe));
}
