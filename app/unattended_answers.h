// How an unattended run answers the boxes of the sequence, the wizard's pages
// and the engine: nobody is there, so a Yes/No question takes its default
// button, the answer the program offers a user who is unsure (Yes to creating
// the destination directory; No to installing over another application or
// into too little space), nothing is retried (Retry/Cancel and OK/Cancel get
// Cancel), and a message gets OK. The message box function logs each.
#pragma once

#include "framework/message_box.h"

class CUnattendedAnswers : public IMessageBoxPresenter {
public:
    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;
};
