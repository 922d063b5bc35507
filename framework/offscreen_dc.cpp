#include "framework/offscreen_dc.h"

BOOL COffscreenDC::Create(HDC hdcCompatible, int cx, int cy)
{
    Release();
    m_bitmap.Reset(CreateCompatibleBitmap(hdcCompatible, cx, cy));
    if (!m_bitmap)
        return FALSE;
    m_hdc = CreateCompatibleDC(hdcCompatible);
    if (m_hdc == nullptr) {
        m_bitmap.Reset();
        return FALSE;
    }
    m_hOldBitmap = SelectObject(m_hdc, m_bitmap.Get());
    m_cx = cx;
    m_cy = cy;
    return TRUE;
}

void COffscreenDC::Release()
{
    if (m_hdc != nullptr) {
        SelectObject(m_hdc, m_hOldBitmap);
        DeleteDC(m_hdc);
        m_hdc = nullptr;
    }
    m_hOldBitmap = nullptr;
    m_bitmap.Reset();
    m_cx = 0;
    m_cy = 0;
}
