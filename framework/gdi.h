// Owners for GDI objects and device contexts: each is uncopyable and gives
// its handle back to the system exactly once.
#pragma once

#include <windows.h>

// A pen, brush, font or bitmap, deleted with DeleteObject.
template <class Handle>
class CGdiObject {
public:
    explicit CGdiObject(Handle h = nullptr) : m_h(h) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    Handle Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    // Deletes the held object and takes h in its place.
    void Reset(Handle h = nullptr)
    {
        if (m_h != nullptr)
            DeleteObject(m_h);
        m_h = h;
    }

private:
    Handle m_h;
};

typedef CGdiObject<HBRUSH> CBrush;
typedef CGdiObject<HFONT> CFont;
typedef CGdiObject<HBITMAP> CBitmap;

// Selects an object into a device context for the life of this object.
class CSelectObject {
public:
    CSelectObject(HDC hdc, HGDIOBJ hObject) : m_hdc(hdc), m_hOld(SelectObject(hdc, hObject)) {}
    ~CSelectObject() { SelectObject(m_hdc, m_hOld); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hOld;
};

// The client-area device context of a window (GetDC / ReleaseDC).
class CClientDC {
public:
    explicit CClientDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(GetDC(hwnd)) {}
    ~CClientDC()
    {
        if (m_hdc != nullptr)
            ReleaseDC(m_hwnd, m_hdc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC Get() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// The device context of one WM_PAINT (BeginPaint / EndPaint).
class CPaintDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(BeginPaint(hwnd, &m_ps)) {}
    ~CPaintDC() { EndPaint(m_hwnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC Get() const { return m_hdc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps;
    HDC m_hdc;
};
