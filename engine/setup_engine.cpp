#include "engine/setup_engine.h"

CSetupEngine::CSetupEngine() : m_pOldRecord(nullptr)
{
    m_pfnPostInstall = PatchDemoProjects;
}

// The journal's lists only refer to tree items; the tree goes with the base.
CSetupEngine::~CSetupEngine() { delete m_pOldRecord; }

CSetupEngine* GetSetupEngineObject()
{
    ISetupEngine* pEngine = GetSetupEngine();
    return pEngine != nullptr ? pEngine->GetEngineObject() : nullptr;
}
