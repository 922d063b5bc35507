#include "engine/setup_engine.h"

// Not built yet.
BOOL CSetupEngine::UpdateRegistry() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::RegisterDlls() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL SelfRegisterFile(const std::string&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
