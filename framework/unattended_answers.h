// How an unattended run of either program answers its boxes: nobody is
// there, so a Yes/No question takes its default button, the answer the
// program offers a user who is unsure (Setup: Yes to creating the destination
// directory, No to installing over another application or into too little
// space; the uninstaller: Yes to the removal it was started for), nothing is
// retried (Retry/Cancel and OK/Cancel get Cancel), and a message gets OK. The
// message box function logs each.
#pragma once

#include "framework/message_box.h"

class CUnattendedAnswers : public IMessageBoxPresenter {
public:
    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;
};
