#include "app/unattended_wizard.h"

#include <map>

#include "framework/event_log.h"
#include "res/resource.h"
#include "wizard/dest_page_logic.h"
#include "wizard/folder_page_logic.h"

namespace {

// A page's controls as texts and selections only; nobody sees them.
class CPageRecord : public IPageView {
public:
    void SetWizardButtons(DWORD) override {}
    void SetItemText(int nId, const std::string& strText) override { m_texts[nId] = strText; }
    std::string GetItemText(int nId) const override
    {
        const auto it = m_texts.find(nId);
        return it != m_texts.end() ? it->second : std::string();
    }
    void InsertItem(int, int, const std::string&) override {}
    void SelectItem(int nId, int nIndex) override { m_selected[nId] = nIndex; }
    int GetSelectedItem(int nId) const override
    {
        const auto it = m_selected.find(nId);
        return it != m_selected.end() ? it->second : -1;
    }
    void EndCancelled() override {}

private:
    std::map<int, std::string> m_texts;
    std::map<int, int> m_selected;
};

}  // namespace

INT_PTR CUnattendedWizard::DoModal()
{
    if (!PresetWizard(m_options, m_engine))
        return WIZARD_BAD_PRESET;

    CPageRecord destView;
    CDestPageLogic dest(m_engine, destView);
    if (!dest.OnInitDialog())
        return WIZARD_REFUSED;  // no drive could be read; the page has said so
    if (!dest.m_bPathValid) {
        LogEvent("The destination directory %s is not valid.", dest.GetComposedPath().c_str());
        return WIZARD_REFUSED;
    }
    if (!dest.ValidateDestination())
        return WIZARD_REFUSED;

    CPageRecord folderView;
    CFolderPageLogic folder(m_engine, folderView);
    folder.OnInitDialog();
    folder.CheckFolderName();  // the edit's change, which the page's window reports
    if (!folder.m_bNameValid) {
        LogEvent("The program folder name %s is not valid.", folderView.GetItemText(IDC_FOLDER_NAME).c_str());
        return WIZARD_REFUSED;
    }
    folder.OnWizardFinish();
    return ID_WIZFINISH;
}
