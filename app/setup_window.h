// The windows that the install sequence and the engine callback drive, as
// operations only, so that both run against recording stand-ins without a
// screen. The main window (CSetupDlg) implements ISetupWindow and owns the
// displays; operations on a display whose window does not exist do nothing.
#pragma once

#include <memory>
#include <string>

#include "framework/wintypes.h"

class CReadOnlyPrompt;

#ifdef _WIN32
typedef HWND WindowHandle;
#else
typedef void* WindowHandle;
#endif

#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025  // the wizard's result when Finish was pressed
#endif

// The wizard's results when it was left without Finish, other than the user's
// quitting (IDCANCEL and anything else).
enum : INT_PTR {
    WIZARD_REFUSED = -2,     // the choices cannot be used, and nobody is there to change them
    WIZARD_BAD_PRESET = -3,  // a choice given on the command line cannot be used
};

// A modeless display over the main window; while it exists its owner is disabled.
class IModelessDisplay {
public:
    virtual ~IModelessDisplay() = default;
    virtual BOOL Create(WindowHandle hwndOwner) = 0;
    virtual void Destroy() = 0;
    virtual void SetStatusText(const std::string& strText) = 0;
};

// The one-line status popup of loading and the final phases.
class IStatusPopup : public IModelessDisplay {
public:
    virtual void Show(int nCmdShow) = 0;
};

// The "Copying Files" dialog of the copy phase.
class ICopyProgress : public IModelessDisplay {
public:
    // Dispatches every waiting message, then reads and clears the Cancel flag.
    virtual BOOL CheckCancel() = 0;
    // Dispatches every waiting message, then sets the bar's position (which
    // the bar shows within a moment); returns the previous position.
    virtual int SetProgressPos(int nPos) = 0;
    // Makes the dialog the active window again.
    virtual void Activate() = 0;
};

// The property-sheet wizard, alive from construction to the end of the sequence.
class IWizard {
public:
    virtual ~IWizard() = default;
    // Clears PSH_HASHELP in the sheet header, so that no Help button shows.
    virtual void ClearHelpFlag() = 0;
    // ID_WIZFINISH when the user pressed Finish on the last page (or the
    // unattended wizard accepted every choice), WIZARD_REFUSED or
    // WIZARD_BAD_PRESET, or any other value when the user quit.
    virtual INT_PTR DoModal() = 0;
};

// The main window as the sequence and the callback see it.
class ISetupWindow {
public:
    virtual ~ISetupWindow() = default;

    virtual WindowHandle GetHandle() const = 0;
    // WM_SETICON with the window icon, big (TRUE) or small (FALSE).
    virtual void SetWindowIcon(BOOL bBigIcon) = 0;
    virtual void SetCaption(const std::string& strCaption) = 0;
    virtual void Show(int nCmdShow) = 0;
    // Invalidates the whole client area without erasing and updates it at once.
    virtual void Repaint() = 0;

    virtual IStatusPopup& GetStatusPopup() = 0;
    virtual ICopyProgress& GetCopyProgress() = 0;
    virtual CReadOnlyPrompt& GetReadOnlyDialog() = 0;
    // Constructs the wizard with no parent window.
    virtual std::unique_ptr<IWizard> CreateWizard() = 0;
};

// The process-wide pointer to the main window, through which the engine
// callback (a plain function) reaches the displays. The main window stores
// itself on construction; nullptr means none.
ISetupWindow* GetMainSetupWindow();
ISetupWindow* SetMainSetupWindow(ISetupWindow* pWindow);
