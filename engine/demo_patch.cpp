#include "engine/setup_engine.h"

// Not built yet.
void PatchDemoProjects(CInstallMngr*) {}
BOOL ReplaceInFile(const std::string&, const std::string&, const std::string&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
