// The wizard of an unattended run: the destination and program folder pages'
// own logic, without their windows, on the choices preset from the command
// line (or the description's defaults), each page left as Next and Finish
// would leave it. What the pages ask goes to the message box presenter,
// which answers for nobody (CUnattendedAnswers).
#pragma once

#include "app/command_line.h"
#include "app/setup_window.h"

class IWizardEngine;

class CUnattendedWizard : public IWizard {
public:
    CUnattendedWizard(IWizardEngine& engine, const SetupOptions& options) : m_engine(engine), m_options(options) {}

    void ClearHelpFlag() override {}
    // ID_WIZFINISH with the destination and the program folder stored in the
    // engine; WIZARD_BAD_PRESET or WIZARD_REFUSED when a page refused them.
    INT_PTR DoModal() override;

private:
    IWizardEngine& m_engine;
    const SetupOptions& m_options;
};
