#include "engine/setup_engine.h"

// Not built yet.
BOOL CSetupEngine::CopyFiles() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::InstallUninstaller() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::CopyTree() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::InstallFile(CInstalledFile&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::CheckReadOnly(CInstalledFile&, DWORD&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::ExtractFile(CInstalledFile&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::SkipFileData(CInstalledFile&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
BOOL CSetupEngine::OpenDataVolume() { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
void CSetupEngine::ReportFileException(const std::exception*, const std::string&) {}
BOOL CheckExistingFile(const std::string&, const BYTE*, BOOL, DWORD&) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return FALSE; }
