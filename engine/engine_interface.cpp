#include "engine/engine_interface.h"

namespace {
ISetupEngine* g_pSetupEngine = nullptr;
}

ISetupEngine* GetSetupEngine() { return g_pSetupEngine; }

ISetupEngine* SetSetupEngine(ISetupEngine* pEngine)
{
    ISetupEngine* pPrevious = g_pSetupEngine;
    g_pSetupEngine = pEngine;
    return pPrevious;
}
