#include "app/setup_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/setup_dlg.h"
#include "app/setup_instance.h"
#include "framework/main_window.h"
#include "framework/message_box_win32.h"
#include "res/resource.h"

CSetupApp::CSetupApp()
{
    SetSetupEngine(&m_engine);
}

CSetupApp::~CSetupApp()
{
    if (GetSetupEngine() == &m_engine)
        SetSetupEngine(nullptr);
}

int CSetupApp::Run()
{
    // A second copy of this product's setup ends here, before any window. A
    // description that cannot be read names no product: the load reports it.
    CSetupInstance instance;
    if (m_engine.ReadSourceIdentity() && !instance.Claim(m_engine.GetProductId())) {
        instance.BringRunningCopyForward();
        return 0;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    CDialog::RegisterOwnClass(SETUP_WINDOW_CLASS);
    CWin32MessageBox presenter;
    IMessageBoxPresenter* pPrevious = SetMessageBoxPresenter(&presenter);
    {
        CSetupDlg dlg(instance.GetProductId());
        dlg.DoModal();
        SetMainWindow(nullptr);
    }
    SetMessageBoxPresenter(pPrevious);
    return 0;
}
