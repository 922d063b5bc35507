// The destination page: the drive and directory to install into, the free
// and the needed space, and the questions that must be answered before the
// page may be left.
#pragma once

#include "platform/path.h"
#include "wizard/page_logic.h"

class CDestPageLogic : public CPageLogic {
public:
    using CPageLogic::CPageLogic;

    // The longest directory text the page passes on: with the drive it makes
    // the longest path that the probe and directory creation take.
    static const size_t MAX_DIR_TEXT = MAX_DIRECTORY_PATH - 2;

    // Page set-up. FALSE when no drive could be read and the wizard was ended.
    BOOL OnInitDialog();
    void OnSetActive();
    // CBN_SELCHANGE of the drive list.
    void OnDriveChange();
    // EN_CHANGE of the directory text, and once at set-up.
    void CheckPathText();
    // The page is being left (Next or Back): TRUE lets it go.
    BOOL ValidateDestination();

    // Drive letter, colon and the trimmed directory text.
    std::string GetComposedPath() const;

    // The page's rule for a composed path: the path check of a typed
    // destination, with a directory text of at most MAX_DIR_TEXT characters.
    static BOOL IsValidDestination(const std::string& strPath);

    DWORD m_dwFreeBytes = 0;
    BOOL m_bDirConfirmed = FALSE;
    BOOL m_bSpaceAccepted = FALSE;
    BOOL m_bPathValid = FALSE;

private:
    BOOL SelectDrive(int nIndex);
    void UpdateDriveTexts();
    void SendButtons() { m_view.SetWizardButtons(m_bPathValid ? WIZB_BACK | WIZB_NEXT : WIZB_BACK); }
    // Asks strText with nStyle; TRUE when the answer is Yes.
    static BOOL AskYes(const std::string& strText, UINT nStyle);
};
