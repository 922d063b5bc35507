// System registration: the product's registry entries, with the journal that
// lets the rollback put them back, and the self-registration of marked files.
#include "engine/setup_engine.h"

#include <cstring>

#include "engine/registry_entries.h"
#include "framework/event_log.h"
#include "platform/disk.h"
#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/registry.h"

namespace {

const char kDocTypeName[] = "Vantler Resource";
const char kOpenArgument[] = " \"%1\"";
// Written over a value that holds no count.
const DWORD kUnknownCount = 127;

// Anything but a key known to be missing counts as there: a key that cannot
// be opened for reading may still exist, and the rollback never deletes one
// that did.
BOOL KeyExisted(HKEY root, const std::string& key)
{
    return RegKeyExists(root, key) != ERROR_FILE_NOT_FOUND;
}

// Notes what the value holds before this run writes it.
void SaveValue(HKEY root, const std::string& key, const std::string& name, SavedValue& saved)
{
    saved.strName = name;
    saved.lBefore = GetRegValue(root, key, name, saved.previous);
}

// The log's line for a value this run wrote (as strNew shows it), or could
// not write, with the value it replaced.
void LogWritten(HKEY root, const std::string& key, const SavedValue& saved, const std::string& strNew, LONG lResult)
{
    if (!IsEventLogOn())
        return;
    const std::string strName = RegValueName(root, key, saved.strName);
    if (lResult != ERROR_SUCCESS) {
        LogEvent("Registry value %s not written: error %ld", strName.c_str(), static_cast<long>(lResult));
        return;
    }
    const std::string strBefore = saved.lBefore == ERROR_SUCCESS          ? DescribeRegValue(saved.previous)
                                  : saved.lBefore == ERROR_FILE_NOT_FOUND ? std::string("none")
                                                                          : std::string("unreadable");
    LogEvent("Registry value %s = %s, before: %s", strName.c_str(), strNew.c_str(), strBefore.c_str());
}

// Notes what the value holds, writes text into it, and logs both. TRUE when
// the text went in.
BOOL WriteSavedString(HKEY root, const std::string& key, const char* pszName, const std::string& strText,
                      SavedValue& saved)
{
    SaveValue(root, key, pszName, saved);
    const LONG lResult = SetRegString(root, key, pszName, strText);
    saved.bWritten = lResult == ERROR_SUCCESS;
    LogWritten(root, key, saved, "\"" + strText + "\"", lResult);
    return saved.bWritten;
}

// The same for a REG_DWORD value below HKEY_LOCAL_MACHINE.
void WriteSavedDword(const std::string& key, const char* pszName, DWORD dwValue, SavedValue& saved)
{
    SaveValue(HKEY_LOCAL_MACHINE, key, pszName, saved);
    const LONG lResult = SetRegDword(HKEY_LOCAL_MACHINE, key, pszName, dwValue);
    saved.bWritten = lResult == ERROR_SUCCESS;
    LogWritten(HKEY_LOCAL_MACHINE, key, saved, FormatText("%lu", static_cast<unsigned long>(dwValue)), lResult);
}

// Notes the key as it is, then creates it and writes both values, the second
// only when the first went in; failures are left out. A key that lets values
// be set but is not granted all access refuses the create: what went in is
// noted all the same.
void WriteKeyValues(const std::string& key, const char* pszFirst, const std::string& strFirst, const char* pszSecond,
                    const std::string& strSecond, SavedKey& saved)
{
    const BOOL bExisted = KeyExisted(HKEY_LOCAL_MACHINE, key);
    const BOOL bMade = CreateRegKey(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS;
    if (WriteSavedString(HKEY_LOCAL_MACHINE, key, pszFirst, strFirst, saved.first))
        WriteSavedString(HKEY_LOCAL_MACHINE, key, pszSecond, strSecond, saved.second);
    else
        SaveValue(HKEY_LOCAL_MACHINE, key, pszSecond, saved.second);  // noted as it stands, not written
    saved.bCreated = !bExisted && (bMade || saved.first.bWritten);
}

// The product version of the main program's record ("2.1.0.36"); empty when
// the tree holds no such file or it has no version.
std::string MainProgramVersion(CSetupEngine& engine)
{
    CObject* pItem = nullptr;
    for (int n = engine.GetFirstItem(pItem); n != TREE_END; n = engine.GetNextItem(pItem)) {
        const CInstalledFile* pFile = static_cast<CInstalledFile*>(pItem);
        if (n == TREE_FILE && SameNameIgnoringCase(FileNamePart(pFile->m_strName), engine.m_strMainExe))
            return ProductVersionText(pFile->m_VersionInfo);
    }
    return std::string();
}

// Beside DisplayName and UninstallString, the values that the Apps list shows
// and that deployment tools' detection rules read; journaled like those, so
// that a rollback takes each back.
void WriteAppsValues(CSetupEngine& engine, const std::string& key)
{
    const std::string& strDest = engine.m_strDestDir;
    const std::string strVersion = MainProgramVersion(engine);
    const struct {
        const char* pszName;
        std::string strText;
    } strings[] = {
        {"DisplayVersion", strVersion},
        {"InstallLocation", strDest},
        {"DisplayIcon", strDest + "\\" + engine.m_strMainExe},
        {"QuietUninstallString", "\"" + strDest + "\\" + UNINSTALLER_NAME + "\" /S"},
    };
    // push_back, not emplace_back(): GCC 12's link-time optimisation stops
    // with an internal error on the latter here.
    std::list<SavedValue>& saved = engine.m_journal.m_uninstKey.others;
    for (const auto& value : strings) {
        if (value.strText.empty())
            continue;  // a main program without a version
        saved.push_back(SavedValue());
        WriteSavedString(HKEY_LOCAL_MACHINE, key, value.pszName, value.strText, saved.back());
    }
    const ULONGLONG qwBytes = static_cast<ULONGLONG>(engine.m_dwAppBytes) + engine.m_dwSysBytes +
                              engine.m_dwUninstBytes + engine.m_dwExtraBytes;
    const struct {
        const char* pszName;
        DWORD dwValue;
    } dwords[] = {
        {"EstimatedSize", static_cast<DWORD>((qwBytes + 1023) / 1024)},  // KB; four 32-bit counts fit
        {"NoModify", 1},
        {"NoRepair", 1},
    };
    for (const auto& value : dwords) {
        saved.push_back(SavedValue());
        WriteSavedDword(key, value.pszName, value.dwValue, saved.back());
    }
}

// TRUE when the record of the previous installation lists the file as shared
// under the same full path: that installation has counted it already.
bool CountedBefore(CSetupEngine* pOldRecord, const CInstalledFile& file)
{
    if (!pOldRecord)
        return false;
    CObject* pItem = nullptr;
    for (int n = pOldRecord->GetFirstItem(pItem); n != TREE_END; n = pOldRecord->GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        const CInstalledFile& old = *static_cast<CInstalledFile*>(pItem);
        if ((old.m_dwFlags & FILE_SHARED) && SameNameIgnoringCase(old.m_strName, file.m_strName))
            return true;
    }
    return false;
}

// A SharedDLLs value that this run can raise: a 32-bit count.
bool IsCount(const RegValue& value)
{
    return value.dwType == REG_DWORD && value.data.size() == sizeof(DWORD);
}

// Raises the SharedDLLs count of every shared file. FALSE, with the registry's
// error as the last error, as soon as a count cannot be written.
BOOL CountSharedFiles(CSetupEngine& engine)
{
    CSetupEngine* pOldRecord = engine.PreviousRecord();
    CObject* pItem = nullptr;
    for (int n = engine.GetFirstItem(pItem); n != TREE_END; n = engine.GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        CInstalledFile& file = *static_cast<CInstalledFile*>(pItem);
        if (!(file.m_dwFlags & FILE_SHARED))
            continue;
        SavedValue saved;
        saved.strName = file.m_strName;
        saved.lBefore = GetRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.m_strName, saved.previous);
        const bool bCount = saved.lBefore == ERROR_SUCCESS && IsCount(saved.previous);
        DWORD dwCount = kUnknownCount;
        if (bCount) {
            std::memcpy(&dwCount, saved.previous.data.data(), sizeof dwCount);
            // One more would wrap to 0, which invites an uninstaller to delete the file.
            if (CountedBefore(pOldRecord, file) || dwCount == 0xFFFFFFFF)
                continue;
            ++dwCount;
        } else if (saved.lBefore == ERROR_FILE_NOT_FOUND) {
            dwCount = 1;
        }
        const LONG lResult = SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.m_strName, dwCount);
        LogWritten(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, saved, FormatText("%lu", static_cast<unsigned long>(dwCount)),
                   lResult);
        if (lResult != ERROR_SUCCESS)
            return FALSE;
        if (bCount || saved.lBefore == ERROR_FILE_NOT_FOUND) {
            engine.m_journal.m_lstCountedDlls.AddTail(&file);
        } else if (saved.lBefore == ERROR_SUCCESS) {
            saved.bWritten = TRUE;
            engine.m_journal.m_lstReplacedCounts.push_back(saved);
        }
        // A value that could not be read cannot be put back: it keeps the high count.
    }
    return TRUE;
}

// The short form of a file's path, which holds no blank; the path itself
// when there is none (a missing file, a path too long).
std::string ShortPathOf(const std::string& strPath)
{
    char szShort[MAX_PATH];
    DWORD dwLength = GetShortPathNameA(strPath.c_str(), szShort, sizeof szShort);
    if (dwLength == 0 || dwLength >= sizeof szShort)
        return strPath;
    return std::string(szShort, dwLength);
}

// The resource-file type: its name, open command, extension and New-menu
// entry. Every failure is left out.
void RegisterDocumentType(CSetupEngine& engine)
{
    InstallJournal& journal = engine.m_journal;
    const std::string docType = DocTypeKey(engine.m_strMainExe);
    // The keys are journaled whole; each value is read before only for the log.
    SavedValue before;
    journal.m_bDocTypeExisted = KeyExisted(HKEY_CLASSES_ROOT, docType);
    CreateRegKey(HKEY_CLASSES_ROOT, docType);
    journal.m_bDocTypeWritten = TRUE;
    WriteSavedString(HKEY_CLASSES_ROOT, docType, "", kDocTypeName, before);

    const std::string program = QuotedIfBlank(ShortPathOf(engine.m_strDestDir + "\\" + engine.m_strMainExe));
    WriteSavedString(HKEY_CLASSES_ROOT, docType + "\\shell\\open\\command", "", program + kOpenArgument, before);

    const std::string extension = ExtensionKey(engine.m_strResExt);
    journal.m_bExtExisted = KeyExisted(HKEY_CLASSES_ROOT, extension);
    WriteSavedString(HKEY_CLASSES_ROOT, extension, "", docType, before);
    journal.m_bExtWritten = TRUE;
    WriteSavedString(HKEY_CLASSES_ROOT, extension + "\\ShellNew", "NullFile", "", before);
}

}  // namespace

BOOL CSetupEngine::UpdateRegistry()
{
    if (IsOneKeyName(m_strMainExe))
        WriteKeyValues(AppPathKey(m_strMainExe), "", m_strDestDir + "\\" + m_strMainExe, "Path", m_strDestDir,
                       m_journal.m_appPath);
    if (IsOneKeyName(m_strProductTitle)) {
        const std::string strKey = UninstallKey(m_strProductTitle);
        WriteKeyValues(strKey, "DisplayName", m_strProductTitle, "UninstallString",
                       QuotedIfBlank(m_strDestDir + "\\" + UNINSTALLER_NAME), m_journal.m_uninstKey);
        if (m_journal.m_uninstKey.first.bWritten)
            WriteAppsValues(*this, strKey);
    }

    if (!CountSharedFiles(*this))
        return FALSE;
    RegisterDocumentType(*this);
    return TRUE;
}

BOOL CSetupEngine::RegisterDlls()
{
    CObject* pItem = nullptr;
    for (int n = GetFirstItem(pItem); n != TREE_END; n = GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        CInstalledFile& file = *static_cast<CInstalledFile*>(pItem);
        const DWORD dwProbe = ProbeFile(file.m_strName);
        if (dwProbe != ERROR_SUCCESS && dwProbe != ERROR_FILE_NOT_FOUND) {
            SetLastError(dwProbe);
            return FALSE;
        }
        const bool bRegister = (file.m_dwFlags & FILE_SELFREG) ||
                               ((file.m_dwFlags & FILE_SELFREG_ABSENT) && dwProbe == ERROR_FILE_NOT_FOUND);
        if (!bRegister)
            continue;
        // Whatever it wrote before a failure is undone with the file, should the run be rolled back.
        m_journal.m_lstSelfRegistered.AddTail(&file);
        if (SelfRegisterFile(file.m_strName)) {
            LogEvent("Registered %s", file.m_strName.c_str());
        } else {
            const DWORD dwError = GetLastError();
            LogEvent("Self-registration of %s failed: error 0x%08lX", file.m_strName.c_str(),
                     static_cast<unsigned long>(dwError));
            if (m_pfnCallback)
                m_pfnCallback(SETUPCB_ERROR, SETUPERR_DLLREGISTER, 0);
            SetLastError(dwError);
            return FALSE;
        }
    }
    return TRUE;
}
