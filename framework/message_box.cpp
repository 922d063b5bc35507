#include "framework/message_box.h"

#include "framework/event_log.h"

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

const char* AnswerName(int nAnswer)
{
    switch (nAnswer) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDRETRY:
        return "Retry";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "none";
    }
}

int SetupMessageBox(const std::string& strText, UINT nStyle)
{
    // Logged before it shows, so that a run killed while a box waits says why.
    const bool bQuestion = (nStyle & MB_TYPEMASK) != MB_OK;
    LogEvent("%s: %s", bQuestion ? "Question" : "Message", strText.c_str());
    const int nAnswer =
        g_pPresenter != nullptr ? g_pPresenter->Show(g_pszCaption, strText, AddDefaultIcon(nStyle)) : 0;
    if (bQuestion)
        LogEvent("Answer: %s", AnswerName(nAnswer));
    return nAnswer;
}
