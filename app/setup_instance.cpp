#include "app/setup_instance.h"

#include "framework/format_text.h"

CSetupInstance::~CSetupInstance()
{
    if (m_hMutex)
        CloseHandle(m_hMutex);
}

BOOL CSetupInstance::Claim(DWORD dwProductId)
{
    m_dwProductId = dwProductId;
    // One name for every session, so that another user's copy counts too; a
    // mutex made by another user may refuse us access, which means it exists.
    const std::string strName = FormatText("Global\\Vantler Setup %08lX", static_cast<unsigned long>(dwProductId));
    SetLastError(ERROR_SUCCESS);
    HANDLE hMutex = CreateMutexA(nullptr, FALSE, strName.c_str());
    const DWORD dwError = GetLastError();
    if (hMutex == nullptr)
        return dwError != ERROR_ACCESS_DENIED;
    if (dwError == ERROR_ALREADY_EXISTS) {
        CloseHandle(hMutex);
        return FALSE;
    }
    m_hMutex = hMutex;
    return TRUE;
}

void CSetupInstance::BringRunningCopyForward() const
{
    AllowSetForegroundWindow(ASFW_ANY);
    // Posted, not sent: a copy busy with a slow disk must not hold this one up.
    PostMessageA(HWND_BROADCAST, AnnouncementMessage(), 1, static_cast<LPARAM>(m_dwProductId));
}

UINT AnnouncementMessage()
{
    return RegisterWindowMessageA("MessageCode");
}
