// Uninst.exe's entry point. Started by the Apps list, a user or a
// deployment tool it hands the removal to its copy (self_copy.h), with the
// switches it was given (copy_command.h); started as that copy it carries the
// removal out.
#include <windows.h>
#include <commctrl.h>

#include "framework/message_box.h"
#include "framework/message_box_win32.h"
#include "framework/unattended_answers.h"
#include "platform/library.h"
#include "uninstall/removal_texts.h"
#include "uninstall/uninstall_app.h"

namespace {

// The progress bar's window class. The common controls are loaded from the
// system directory by hand: the copy runs from the temporary directory, and
// a library linked by name would be looked for there first.
void RegisterProgressBar()
{
    typedef BOOL(WINAPI * InitFn)(const INITCOMMONCONTROLSEX*);
    const HMODULE hControls = LoadSystemLibrary("comctl32.dll");
    const InitFn pfnInit =
        hControls ? reinterpret_cast<InitFn>(reinterpret_cast<void (*)()>(GetProcAddress(hControls, "InitCommonControlsEx")))
                  : nullptr;
    const INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    if (pfnInit)
        pfnInit(&icc);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictLibrarySearch();
    CopyCommand command;
    const bool bCopy = ParseCopyCommand(GetCommandLineA(), command);
    std::string strError;
    if (!bCopy)
        ParseUninstallOptions(GetCommandLineA(), command.options, strError);
    // Unattended nothing shows, not even what is wrong with the command line.
    CWin32MessageBox boxes;
    CUnattendedAnswers unattended;
    if (command.options.bUnattended) {
        SetMessageBoxPresenter(&unattended);
    } else {
        RegisterProgressBar();
        SetMessageBoxPresenter(&boxes);
    }
    SetMessageBoxCaption(UNINSTALL_CAPTION);
    const int nCode = bCopy ? RunRemoval(command) : RunStartedUninstaller(command.options, strError);
    SetMessageBoxPresenter(nullptr);
    return nCode;
}
