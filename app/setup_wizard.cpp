#include "app/setup_wizard.h"

#include "wizard/engine_wizard_data.h"
#include "wizard/my_property_sheet.h"

namespace {

class CSetupWizard : public IWizard {
public:
    explicit CSetupWizard(CSetupEngine& engine) : m_data(engine), m_sheet(m_data) {}

    void ClearHelpFlag() override { m_sheet.m_psh.dwFlags &= ~PSH_HASHELP; }
    INT_PTR DoModal() override { return m_sheet.DoModal(); }

private:
    CEngineWizardData m_data;
    CMyPropertySheet m_sheet;
};

// Without the engine's own class the pages have nothing to show: the wizard
// ends as cancelled.
class CNoWizard : public IWizard {
public:
    void ClearHelpFlag() override {}
    INT_PTR DoModal() override { return IDCANCEL; }
};

}  // namespace

std::unique_ptr<IWizard> CreateSetupWizard()
{
    CSetupEngine* pEngine = GetSetupEngineObject();
    if (pEngine == nullptr)
        return std::make_unique<CNoWizard>();
    return std::make_unique<CSetupWizard>(*pEngine);
}
