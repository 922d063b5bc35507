#include "engine/setup_engine.h"

// Not built yet.
BOOL CSetupEngine::LoadInstallInfo(SetupCallback) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::ReadDescriptionFile() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
void CSetupEngine::SetDestDir(const std::string&) {}
void CSetupEngine::SetDestDrive(int) {}
BOOL CSetupEngine::CheckDiskSpace() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::GetDestFreeSpace(DWORD&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
