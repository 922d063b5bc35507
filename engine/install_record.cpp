#include "engine/setup_engine.h"

// Not built yet.
BOOL CSetupEngine::CheckDestination(const std::string&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::SaveInstallRecord() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
