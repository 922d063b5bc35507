// The message box presenter of the real program: a modal MessageBoxA.
#pragma once

#include <windows.h>

#include "framework/message_box.h"

class CWin32MessageBox : public IMessageBoxPresenter {
public:
    CWin32MessageBox() = default;
    CWin32MessageBox(const CWin32MessageBox&) = delete;
    CWin32MessageBox& operator=(const CWin32MessageBox&) = delete;

    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;
};
