// What the current install run has changed, with the values it replaced:
// written while the run goes on, read only by the rollback, never saved.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "model/install_item.h"
#include "model/ptr_list.h"
#include "platform/registry.h"

// A registry value this run wrote, and what it held before.
struct SavedValue {
    std::string strName;  // "" is the key's default value
    BOOL bWritten = FALSE;
    // Reading it before the write: ERROR_SUCCESS, previous holds it and the
    // rollback writes it back; ERROR_FILE_NOT_FOUND, there was none and the
    // rollback deletes it; any other code, it is left as this run wrote it.
    LONG lBefore = ERROR_FILE_NOT_FOUND;
    RegValue previous;
};

// One of the product's keys below HKEY_LOCAL_MACHINE and the values this run
// writes into it: the two it names, and for the Uninstall key the values the
// Apps list shows. A key that was there before is never deleted.
struct SavedKey {
    BOOL bCreated = FALSE;  // it was not there and this run made it
    SavedValue first, second;
    std::list<SavedValue> others;
};

struct InstallJournal {
    // The copy phase.
    BOOL m_bUninstCreated = FALSE;                 // Uninst.exe was not there and this run made it
    CPtrListOf<CInstalledFile> m_lstNewFiles;      // written where no file was; the tree owns them
    std::vector<std::string> m_astrMadeDirs;       // directories this run made, each before those below it

    SavedKey m_appPath;    // App Paths key of the main program: default value and "Path"
    SavedKey m_uninstKey;  // the product's Uninstall key: "DisplayName" and "UninstallString"

    // Shared files whose SharedDLLs count this run set to 1 or raised by
    // one, which the rollback lowers again; the tree owns them.
    CPtrListOf<CInstalledFile> m_lstCountedDlls;
    // SharedDLLs values that held no count (another type or size), which
    // this run replaced; the rollback puts each back as it was.
    std::list<SavedValue> m_lstReplacedCounts;

    // The resource-file type and its extension.
    BOOL m_bDocTypeExisted = FALSE;
    BOOL m_bDocTypeWritten = FALSE;
    BOOL m_bExtExisted = FALSE;
    BOOL m_bExtWritten = FALSE;

    // The late phases. Files whose self-registration ran (the tree owns them).
    CPtrListOf<CInstalledFile> m_lstSelfRegistered;
    // The group that received this run's items (empty: none was filled), and
    // whether Program Manager did not list it before, so that this run made it.
    std::string m_strGroup;
    BOOL m_bGroupCreated = FALSE;
};
