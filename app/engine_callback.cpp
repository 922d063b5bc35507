#include "app/engine_callback.h"

#include <string>

#include "framework/event_log.h"
#include "framework/format_text.h"
#include "framework/message_box.h"
#include "app/read_only_prompt.h"
#include "app/setup_texts.h"
#include "app/setup_window.h"

namespace {

const UINT QUIT_STYLE = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;  // 292

const std::string NO_NAME;

// A name argument: the engine's string, valid during the call. A missing
// pointer reads as an empty name rather than a crash.
const std::string& NameArg(INT_PTR param)
{
    const std::string* pName = reinterpret_cast<const std::string*>(param);
    return pName != nullptr ? *pName : NO_NAME;
}

// A drive letter argument: its low byte. A zero byte would end the box's text
// right there, so it shows as '?' and the rest of the message stays.
char LetterArg(INT_PTR param)
{
    const char chLetter = static_cast<char>(param & 0xFF);
    return chLetter != '\0' ? chLetter : '?';
}

// TRUE when the user pressed Cancel since the last check and confirmed quitting.
BOOL UserQuits(ICopyProgress& progress)
{
    if (!progress.CheckCancel())
        return FALSE;
    if (SetupMessageBox(SETUP_TEXT_QUIT_QUESTION, QUIT_STYLE) == IDYES)
        return TRUE;
    progress.Activate();
    return FALSE;
}

void ShowError(INT_PTR kind, INT_PTR param2)
{
    std::string strText;
    switch (kind) {
    case SETUPERR_GENERAL:
        strText = SETUP_TEXT_GENERAL_ERROR;
        break;
    case SETUPERR_FILEINUSE:
        strText = FormatText("Can't access to the file %s.\r\nIt is used by Windows.\r\n"
                             "Close all Windows-applications and restart the Setup.",
                             NameArg(param2).c_str());
        break;
    case SETUPERR_DISKFULL:
        strText = FormatText("There is not enough disk-space on drive %c: The Setup will be cancelled.",
                             LetterArg(param2));
        break;
    case SETUPERR_CREATEDIR:
        strText = FormatText("Can't create the directory %s. Setup will be cancelled.", NameArg(param2).c_str());
        break;
    case SETUPERR_DLLREGISTER:
        strText = "There has occurred an error during DLL-registration.";
        break;
    default:
        return;
    }
    SetupMessageBox(strText, MB_OK | MB_ICONSTOP);
}

std::string DiskQuestion(INT_PTR index, INT_PTR letter)
{
    const unsigned nDisk = static_cast<unsigned>(static_cast<WORD>(index)) + 1;
    return FormatText("Insert the disk %u in %c: !", nDisk, LetterArg(letter));
}

int AskForDisk(INT_PTR index, INT_PTR letter)
{
    if (SetupMessageBox(DiskQuestion(index, letter), MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
        return 1;
    // No means looking for the disk again. A question that could not be shown
    // at all (0) quits rather than have the engine look for the disk forever.
    return SetupMessageBox(SETUP_TEXT_QUIT_QUESTION, QUIT_STYLE) == IDNO ? 1 : 0;
}

int AskReadOnly(CReadOnlyPrompt& dialog, INT_PTR name)
{
    if (dialog.m_nDontShowAgain != 0)
        return READONLY_OVERWRITE;
    dialog.m_strFileName = NameArg(name);
    LogEvent("Question: %s", dialog.GetText().c_str());
    const int nAnswer = static_cast<int>(dialog.DoModal());
    LogEvent("Answer: %s",
             nAnswer == READONLY_OVERWRITE ? "Yes" : nAnswer == READONLY_KEEP ? "No" : "Cancel, quit Setup");
    return nAnswer;
}

}  // namespace

int EngineCallback(int code, INT_PTR param1, INT_PTR param2)
{
    ISetupWindow* pWindow = GetMainSetupWindow();
    switch (code) {
    case SETUPCB_ERROR:
        ShowError(param1, param2);
        return 1;  // stopping after an error is the engine's decision
    case SETUPCB_PROGRESS:
        if (pWindow == nullptr)
            return 1;
        if (UserQuits(pWindow->GetCopyProgress()))
            return 0;
        pWindow->GetCopyProgress().SetProgressPos(static_cast<int>(param1));
        return 1;
    case SETUPCB_STATUSTEXT:
        if (pWindow == nullptr)
            return 1;
        if (UserQuits(pWindow->GetCopyProgress()))
            return 0;
        pWindow->GetCopyProgress().SetStatusText(NameArg(param1));
        return 1;
    case SETUPCB_READONLY:
        // Without the dialog nobody can agree to the overwrite: keep the file.
        if (pWindow == nullptr)
            return READONLY_KEEP;
        return AskReadOnly(pWindow->GetReadOnlyDialog(), param1);
    case SETUPCB_INSERTDISK:
        return AskForDisk(param1, param2);
    default:
        return 1;
    }
}

int UnattendedEngineCallback(int code, INT_PTR param1, INT_PTR param2)
{
    if (code != SETUPCB_INSERTDISK)
        return EngineCallback(code, param1, param2);
    // The engine has looked wherever a disk may be: there is nobody to insert one.
    LogEvent("Question: %s", DiskQuestion(param1, param2).c_str());
    LogEvent("Answer: Cancel, nobody is there to insert the disk");
    return 0;
}
