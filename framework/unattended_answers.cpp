#include "framework/unattended_answers.h"

int CUnattendedAnswers::Show(const char*, const std::string&, UINT nStyle)
{
    switch (nStyle & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return (nStyle & MB_DEFMASK) == MB_DEFBUTTON2 ? IDNO : IDYES;
    default:
        return IDCANCEL;
    }
}
