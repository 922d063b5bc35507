#include "wizard/dest_page_logic.h"

#include "framework/message_box.h"
#include "platform/path.h"
#include "res/resource.h"

namespace {
const UINT WARNING_STYLE = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;  // 308
}

BOOL CDestPageLogic::AskYes(const std::string& strText, UINT nStyle)
{
    return SetupMessageBox(strText, nStyle) == IDYES;
}

std::string CDestPageLogic::GetComposedPath() const
{
    std::string strPath(1, m_engine.GetDriveLetter(m_engine.GetDrive()));
    return strPath + ":" + TrimWhiteSpace(m_view.GetItemText(IDC_DEST_DIR));
}

BOOL CDestPageLogic::IsValidDestination(const std::string& strPath)
{
    // A longer text could be neither probed nor created.
    return strPath.size() <= 2 + MAX_DIR_TEXT && IsValidDestPath(strPath);
}

BOOL CDestPageLogic::OnInitDialog()
{
    if (!SelectDrive(m_engine.GetDrive())) {
        m_view.EndCancelled();
        return FALSE;
    }
    m_view.SetItemText(IDC_DEST_DIR, m_engine.GetDestDir());
    for (int i = 0; i < m_engine.GetDriveCount(); ++i)
        m_view.InsertItem(IDC_DEST_DRIVES, i, std::string(1, m_engine.GetDriveLetter(i)) + ":");
    m_view.SelectItem(IDC_DEST_DRIVES, m_engine.GetDrive());
    m_view.SetItemText(IDC_DEST_NEEDED, FormatMegabytes(m_engine.GetDestBytes()));
    m_view.SetItemText(IDC_SYS_NEEDED, FormatMegabytes(m_engine.GetSysBytes()));
    UpdateDriveTexts();
    CheckPathText();
    return TRUE;
}

void CDestPageLogic::OnSetActive()
{
    SendButtons();
}

BOOL CDestPageLogic::SelectDrive(int nIndex)
{
    const int nPrevious = m_engine.GetDrive();
    m_engine.SetDestDrive(nIndex);
    while (!m_engine.GetDestFreeSpace(m_dwFreeBytes)) {
        const std::string strText = std::string("Error by accessing Drive ") +
                                    m_engine.GetDriveLetter(m_engine.GetDrive()) + ":";
        if (SetupMessageBox(strText, MB_RETRYCANCEL | MB_ICONSTOP) == IDRETRY)
            continue;
        m_engine.SetDestDrive(nPrevious);
        if (m_engine.GetDestFreeSpace(m_dwFreeBytes)) {
            m_view.SelectItem(IDC_DEST_DRIVES, nPrevious);
            return TRUE;
        }
        SetupMessageBox("An error has occurred. The Setup will be cancelled.", MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    return TRUE;
}

void CDestPageLogic::OnDriveChange()
{
    const int nIndex = m_view.GetSelectedItem(IDC_DEST_DRIVES);
    if (nIndex == m_engine.GetDrive())
        return;
    if (!SelectDrive(nIndex)) {
        m_view.EndCancelled();
        return;
    }
    UpdateDriveTexts();
}

void CDestPageLogic::UpdateDriveTexts()
{
    m_bDirConfirmed = FALSE;
    m_bSpaceAccepted = FALSE;
    const char chLetter = m_engine.GetDriveLetter(m_engine.GetDrive());
    m_view.SetItemText(IDC_DEST_DRIVE_LETTER, std::string(1, chLetter) + ":");
    m_view.SetItemText(IDC_FREE_LABEL, std::string("Drive ") + chLetter + ":");
    m_view.SetItemText(IDC_FREE_SPACE, FormatMegabytes(m_dwFreeBytes));
}

void CDestPageLogic::CheckPathText()
{
    m_bDirConfirmed = FALSE;
    m_bPathValid = IsValidDestination(GetComposedPath());
    SendButtons();
}

BOOL CDestPageLogic::ValidateDestination()
{
    if (!m_engine.CheckDiskSpace() && !m_bSpaceAccepted) {
        if (!AskYes("There is'nt likely enough free disk-space on your hard-disk.\r\nDo you want to proceed Setup ?",
                    WARNING_STYLE))
            return FALSE;
        m_bSpaceAccepted = TRUE;
    }
    // The edit takes no more than this; only a longer default can get here,
    // and it is never passed on.
    if (TrimWhiteSpace(m_view.GetItemText(IDC_DEST_DIR)).size() > MAX_DIR_TEXT)
        return FALSE;
    const std::string strPath = GetComposedPath();
    const DWORD dwProbe = m_engine.ProbeDirectory(strPath);
    if (dwProbe == 0) {
        if (!m_engine.CheckDestination(strPath) && !m_bDirConfirmed) {
            if (!AskYes("There is already another application in the destination directory \r\n" + strPath +
                            ".\r\nWould you like to proceed ?",
                        WARNING_STYLE))
                return FALSE;
            m_bDirConfirmed = TRUE;
        }
    } else if (dwProbe == ERROR_PATH_NOT_FOUND) {
        if (!m_bDirConfirmed) {
            if (!AskYes("The destination directory " + strPath + " does not exist. Do you want to create it ?",
                        MB_YESNO | MB_ICONQUESTION))
                return FALSE;
            m_bDirConfirmed = TRUE;
        }
    } else {
        SetupMessageBox("Error by accessing Directory \r\n" + strPath + " .", MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    m_engine.SetDestDir(strPath);
    return TRUE;
}
