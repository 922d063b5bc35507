// A property sheet and its pages on the common controls. Each page object
// stores itself in its window when the page is first shown and receives the
// sheet's notifications as member handlers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/dialog_window.h"

#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025  // the result of a wizard left by Finish
#endif

class CPropertySheet;

class CPropertyPage : public CDialogWindow {
public:
    explicit CPropertyPage(UINT nTemplate);

    // The page's description for the sheet; flags may be changed before the sheet runs.
    PROPSHEETPAGEA m_psp;
    // Shows strTitle instead of the template's caption (PSP_USETITLE).
    void SetTitle(const std::string& strTitle);

    // The sheet window, once the page exists.
    HWND GetSheetWindow() const { return GetParent(m_hwnd); }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnCommand(int, int) {}
    // Each returns TRUE to let the sheet go on, FALSE to keep the page.
    virtual BOOL OnSetActive() { return TRUE; }
    virtual BOOL OnKillActive() { return TRUE; }
    virtual BOOL OnWizardFinish() { return TRUE; }
    // TRUE lets the sheet be cancelled.
    virtual BOOL OnQueryCancel() { return TRUE; }

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    BOOL OnNotify(const NMHDR& header, LRESULT& lResult);

    std::string m_strTitle;
    CPropertySheet* m_pOwner = nullptr;
};

class CPropertySheet {
public:
    // nCaption: a string resource; no parent window.
    explicit CPropertySheet(UINT nCaption);
    virtual ~CPropertySheet() = default;
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // The sheet's header; flags may be changed before the sheet runs.
    PROPSHEETHEADERA m_psh;

    void AddPage(CPropertyPage& page);
    // Runs the sheet modally, centred on its owner: ID_WIZFINISH after
    // Finish, IDOK after OK, IDCANCEL when it was cancelled or could not be
    // shown. Without a parent in the header the main window's dialog owns it
    // (main_window.h).
    INT_PTR DoModal();

private:
    friend class CPropertyPage;
    std::vector<CPropertyPage*> m_apPages;
    std::vector<PROPSHEETPAGEA> m_aPageSheets;
    bool m_bFinished = false;
};
