// A memory drawing surface: a device context holding one bitmap of a given
// size, compatible with a display context. What is drawn here once is copied
// to the window on every paint.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

class COffscreenDC {
public:
    COffscreenDC() = default;
    ~COffscreenDC() { Release(); }
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

    // Releases what it holds, then makes a cx by cy surface compatible with
    // hdcCompatible. FALSE when the context or the bitmap cannot be made.
    BOOL Create(HDC hdcCompatible, int cx, int cy);
    // Selects the original bitmap back, deletes the context and the bitmap.
    void Release();

    HDC Get() const { return m_hdc; }
    // The held bitmap's size; 0 and 0 when none is held.
    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }

private:
    HDC m_hdc = nullptr;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};
