// What the current install run has changed, with the values it replaced:
// written while the run goes on, read only by the rollback, never saved.
#pragma once

#include <string>

#include "model/install_item.h"
#include "model/ptr_list.h"

struct InstallJournal {
    // The copy phase.
    BOOL m_bUninstCreated = FALSE;                 // Uninst.exe was not there and this run made it
    CPtrListOf<CInstalledFile> m_lstNewFiles;      // written where no file was; the tree owns them

    // The registry: App Paths key of the main program.
    BOOL m_bAppPathSaved = FALSE;                  // it existed and both its values were read
    std::string m_strOldAppPath, m_strOldAppDir;
    BOOL m_bAppPathWritten = FALSE;                // this run created or opened it

    // The product's Uninstall key.
    BOOL m_bUninstKeySaved = FALSE;
    std::string m_strOldDisplayName, m_strOldUninstallString;
    BOOL m_bUninstKeyWritten = FALSE;

    // Shared files whose SharedDLLs count this run wrote; the tree owns them.
    CPtrListOf<CInstalledFile> m_lstCountedDlls;

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
