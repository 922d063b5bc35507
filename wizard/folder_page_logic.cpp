#include "wizard/folder_page_logic.h"

#include "platform/progman_text.h"
#include "res/resource.h"

BOOL CFolderPageLogic::IsValidFolderName(const std::string& strName)
{
    const std::string strTrimmed = TrimWhiteSpace(strName);
    return !strTrimmed.empty() && strTrimmed.size() <= MAX_NAME_TEXT &&
           strTrimmed.find_first_of("#%;/\\") == std::string::npos && IsSafeGroupName(strTrimmed);
}

void CFolderPageLogic::OnInitDialog()
{
    m_view.SetItemText(IDC_FOLDER_NAME, m_engine.GetProgramFolder());
    const std::vector<std::string>& astrGroups = m_engine.GetGroups();
    for (size_t i = 0; i < astrGroups.size(); ++i)
        m_view.InsertItem(IDC_FOLDERS, static_cast<int>(i), astrGroups[i]);
    if (!astrGroups.empty())
        m_view.SelectItem(IDC_FOLDERS, 0);
}

void CFolderPageLogic::OnSetActive()
{
    const std::string strName = TrimWhiteSpace(m_view.GetItemText(IDC_FOLDER_NAME));
    const std::vector<std::string>& astrGroups = m_engine.GetGroups();
    for (size_t i = 0; i < astrGroups.size(); ++i) {
        if (EqualIgnoringCase(astrGroups[i], strName)) {
            m_view.SelectItem(IDC_FOLDERS, static_cast<int>(i));
            break;
        }
    }
    SendButtons();
}

void CFolderPageLogic::CheckFolderName()
{
    m_bNameValid = IsValidFolderName(m_view.GetItemText(IDC_FOLDER_NAME));
    SendButtons();
}

void CFolderPageLogic::OnFolderChosen()
{
    const int nIndex = m_view.GetSelectedItem(IDC_FOLDERS);
    const std::vector<std::string>& astrGroups = m_engine.GetGroups();
    if (nIndex >= 0 && static_cast<size_t>(nIndex) < astrGroups.size())
        m_view.SetItemText(IDC_FOLDER_NAME, astrGroups[static_cast<size_t>(nIndex)]);
}

void CFolderPageLogic::OnWizardFinish()
{
    m_engine.SetProgramFolder(TrimWhiteSpace(m_view.GetItemText(IDC_FOLDER_NAME)));
}
