// The program's one message box function: every message to the user goes
// through it, under the program's caption ("Setup" unless the program names
// another). Where the box appears is up to the presenter that the program (or
// a test) installs.
#pragma once

#include <string>

#include "framework/wintypes.h"

// Setup.exe's application name, the caption of its boxes.
extern const char* const SETUP_CAPTION;

// Shows one box and returns the pressed button (IDOK, IDYES, ...).
class IMessageBoxPresenter {
public:
    virtual ~IMessageBoxPresenter() = default;
    virtual int Show(const char* pszCaption, const std::string& strText, UINT nStyle) = 0;
};

// Installs the presenter (nullptr: none) and returns the previous one.
IMessageBoxPresenter* SetMessageBoxPresenter(IMessageBoxPresenter* pPresenter);

// The style the box is shown with: an OK, OK/Cancel, Yes/No or Yes/No/Cancel
// box that names no icon gets the exclamation icon.
UINT AddDefaultIcon(UINT nStyle);

// Makes pszCaption (a literal of the program) the caption of every box.
void SetMessageBoxCaption(const char* pszCaption);

// Shows strText with the program's caption. Without a presenter nothing can be
// shown and the answer is 0, which no caller takes for agreement. The event
// log gets the text and, for a question, the answer.
int SetupMessageBox(const std::string& strText, UINT nStyle);

// A button's name as the log writes an answer: "Yes", "Cancel", ...; "none" for 0.
const char* AnswerName(int nAnswer);
