#include "engine/setup_engine.h"

// Not built yet.
BOOL CSetupEngine::CreateProgramFolder() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
std::string CaptionForFile(const std::string& strFileName) { return strFileName; }
