// A dialog built from a template of the program's resources, modal or
// modeless. The object stores itself in the window when the dialog starts
// and routes messages to short member handlers.
#pragma once

#include "framework/dialog_window.h"

class CDialog : public CDialogWindow {
public:
    explicit CDialog(UINT nTemplate) : m_nTemplate(nTemplate) {}
    // A modeless window that still exists is destroyed with its object.
    ~CDialog() override;

    // Runs the dialog modally; its result, or -1 when it could not be created.
    // Without hwndParent the main window's dialog owns it (main_window.h).
    INT_PTR DoModal(HWND hwndParent = nullptr);
    // Creates the dialog modeless; FALSE when creation failed.
    BOOL CreateModeless(HWND hwndParent);
    // Ends a modal dialog with nResult, or destroys a modeless one.
    void EndDialog(INT_PTR nResult);
    void DestroyWindow();

    // Registers a window class that behaves as the system's dialog class but
    // passes every message to WindowProc first. A template that names this
    // class lets its dialog see the messages of creation (WM_CREATE) too.
    static BOOL RegisterOwnClass(const char* pszClassName);

protected:
    // TRUE lets the system give the default control the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Commands from controls, menus and keys; by default IDOK and IDCANCEL end the dialog.
    virtual void OnCommand(int nId, int nCode);
    // Any other message; TRUE when handled, with its result in lResult.
    virtual BOOL OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // For dialogs of the own class only: sees every message before the
    // system's dialog handling, which DefaultWindowProc runs.
    virtual LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OwnClassProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);

    UINT m_nTemplate;
    bool m_bModal = false;
};
