// A wizard page's window as the page's logic sees it: controls by id, the
// sheet's buttons, and the sheet's end. The real page forwards to its
// controls; tests record.
#pragma once

#include <string>

#include "framework/wintypes.h"

// Wizard button flags, as the property sheet takes them.
enum : DWORD {
    WIZB_BACK = 0x1,
    WIZB_NEXT = 0x2,
    WIZB_FINISH = 0x4,
    WIZB_DISABLEDFINISH = 0x8,
};

class IPageView {
public:
    virtual ~IPageView() = default;

    virtual void SetWizardButtons(DWORD dwFlags) = 0;
    // Setting an edit control's text notifies its change, as typing does.
    virtual void SetItemText(int nId, const std::string& strText) = 0;
    virtual std::string GetItemText(int nId) const = 0;
    // Combo and list boxes: an entry inserted at its index, the selection (-1: none).
    virtual void InsertItem(int nId, int nIndex, const std::string& strText) = 0;
    virtual void SelectItem(int nId, int nIndex) = 0;
    virtual int GetSelectedItem(int nId) const = 0;
    // Ends the wizard as cancelled, without asking the user.
    virtual void EndCancelled() = 0;
};
