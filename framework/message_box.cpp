#include "framework/message_box.h"

const char* const SETUP_CAPTION = "Setup";

namespace {
IMessageBoxPresenter* g_pPresenter = nullptr;
const char* g_pszCaption = SETUP_CAPTION;
}

void SetMessageBoxCaption(const char* pszCaption)
{
    g_pszCaption = pszCaption;
}

IMessageBoxPresenter* SetMessageBoxPresenter(IMessageBoxPresenter* pPresenter)
{
    IMessageBoxPresenter* pPrevious = g_pPresenter;
    g_pPresenter = pPresenter;
    return pPrevious;
}

UINT AddDefaultIcon(UINT nStyle)
{
    if ((nStyle & MB_ICONMASK) != 0)
        return nStyle;
    switch (nStyle & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return nStyle | MB_ICONEXCLAMATION;
    default:
        return nStyle;
    }
}

int SetupMessageBox(const std::string& strText, UINT nStyle)
{
    if (g_pPresenter == nullptr)
        return 0;
    return g_pPresenter->Show(g_pszCaption, strText, AddDefaultIcon(nStyle));
}
