// Only one setup of a product runs at a time. The first copy holds a named
// mutex for its product until it ends; a copy that finds the mutex held ends
// at once, whether or not the first copy is reading its messages, and only
// asks the first copy to come to the front. The decision needs no window.
#pragma once

#include <windows.h>

class CSetupInstance {
public:
    CSetupInstance() = default;
    // Lets the product go.
    ~CSetupInstance();
    CSetupInstance(const CSetupInstance&) = delete;
    CSetupInstance& operator=(const CSetupInstance&) = delete;

    // FALSE when another copy runs the setup of the product. Otherwise TRUE,
    // and this copy holds the product until the object goes.
    BOOL Claim(DWORD dwProductId);
    // Lets the running copy take the foreground, which the system refuses to
    // a process in the background unless the foreground process allows it,
    // and asks it to come to the front when it next reads its messages.
    void BringRunningCopyForward() const;

    DWORD GetProductId() const { return m_dwProductId; }

private:
    HANDLE m_hMutex = nullptr;
    DWORD m_dwProductId = 0;
};

// The registered message by which a starting copy asks the running one to
// come to the front: wParam 1, lParam the product identifier.
UINT AnnouncementMessage();
