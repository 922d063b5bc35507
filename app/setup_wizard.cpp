#include "app/setup_wizard.h"

#include "app/unattended_wizard.h"
#include "wizard/engine_wizard_data.h"
#include "wizard/my_property_sheet.h"

namespace {

class CSetupWizard : public IWizard {
public:
    CSetupWizard(CSetupEngine& engine, const SetupOptions& options)
        : m_options(options), m_data(engine), m_sheet(m_data)
    {
    }

    void ClearHelpFlag() override { m_sheet.m_psh.dwFlags &= ~PSH_HASHELP; }
    INT_PTR DoModal() override
    {
        if (!PresetWizard(m_options, m_data))
            return WIZARD_BAD_PRESET;
        const INT_PTR nResult = m_sheet.DoModal();
        // A page that could not go on has told the user and ended the sheet.
        return m_sheet.IsEnding() ? WIZARD_REFUSED : nResult;
    }

private:
    const SetupOptions& m_options;
    CEngineWizardData m_data;
    CMyPropertySheet m_sheet;
};

class CUnattendedSetupWizard : public IWizard {
public:
    CUnattendedSetupWizard(CSetupEngine& engine, const SetupOptions& options)
        : m_data(engine), m_wizard(m_data, options)
    {
    }

    void ClearHelpFlag() override {}
    INT_PTR DoModal() override { return m_wizard.DoModal(); }

private:
    CEngineWizardData m_data;
    CUnattendedWizard m_wizard;
};

// Without the engine's own class the pages have nothing to show: the wizard
// ends as cancelled.
class CNoWizard : public IWizard {
public:
    void ClearHelpFlag() override {}
    INT_PTR DoModal() override { return IDCANCEL; }
};

}  // namespace

std::unique_ptr<IWizard> CreateSetupWizard(const SetupOptions& options)
{
    CSetupEngine* pEngine = GetSetupEngineObject();
    if (pEngine == nullptr)
        return std::make_unique<CNoWizard>();
    if (options.bUnattended)
        return std::make_unique<CUnattendedSetupWizard>(*pEngine, options);
    return std::make_unique<CSetupWizard>(*pEngine, options);
}
