// Owners for the DDE management library's client side: the registration
// (instance), string handles and a conversation. Each is released when its
// owner goes; declare the conversation before the strings, so that strings
// are freed first, then the conversation ends, then the registration.
#pragma once

#include <windows.h>
#include <ddeml.h>

class CDdeInstance {
public:
    // Registers as a client-only application whose callback answers nothing.
    CDdeInstance();
    ~CDdeInstance()
    {
        if (m_dwInst)
            DdeUninitialize(m_dwInst);
    }
    CDdeInstance(const CDdeInstance&) = delete;
    CDdeInstance& operator=(const CDdeInstance&) = delete;

    bool IsValid() const { return m_dwInst != 0; }
    DWORD Get() const { return m_dwInst; }

private:
    DWORD m_dwInst = 0;
};

class CDdeString {
public:
    CDdeString(const CDdeInstance& dde, const char* text)
        : m_dwInst(dde.Get()), m_hsz(DdeCreateStringHandleA(dde.Get(), text, CP_WINANSI))
    {
    }
    ~CDdeString() { Free(); }
    CDdeString(const CDdeString&) = delete;
    CDdeString& operator=(const CDdeString&) = delete;

    HSZ Get() const { return m_hsz; }
    void Free()
    {
        if (m_hsz)
            DdeFreeStringHandle(m_dwInst, m_hsz);
        m_hsz = nullptr;
    }

private:
    DWORD m_dwInst;
    HSZ m_hsz;
};

class CDdeConversation {
public:
    CDdeConversation() = default;
    ~CDdeConversation()
    {
        if (m_hConv)
            DdeDisconnect(m_hConv);
    }
    CDdeConversation(const CDdeConversation&) = delete;
    CDdeConversation& operator=(const CDdeConversation&) = delete;

    // Connects with service and topic both named by the handle, default context.
    bool Connect(const CDdeInstance& dde, const CDdeString& serviceAndTopic);
    HCONV Get() const { return m_hConv; }

private:
    HCONV m_hConv = nullptr;
};
