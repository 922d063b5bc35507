#include "app/unattended_window.h"

#include "app/setup_wizard.h"

CUnattendedWindow::CUnattendedWindow(const SetupOptions& options) : m_options(options)
{
    SetMainSetupWindow(this);
}

CUnattendedWindow::~CUnattendedWindow()
{
    if (GetMainSetupWindow() == this)
        SetMainSetupWindow(nullptr);
}

std::unique_ptr<IWizard> CUnattendedWindow::CreateWizard()
{
    return CreateSetupWizard(m_options);
}
