#include "uninstall/record_file.h"

#include "engine/registry_entries.h"
#include "framework/file.h"
#include "model/install_mngr.h"

DWORD LoadInstallRecord(const std::string& strPath, CInstallMngr& record)
{
    CFile file;
    CFileException error;
    if (!file.Open(strPath.c_str(), CFile::modeRead | CFile::shareDenyWrite | CFile::modeNoInherit, &error))
        return error.m_lOsError > 0 ? static_cast<DWORD>(error.m_lOsError) : ERROR_OPEN_FAILED;
    // Once the file is open, whatever is wrong with it is damaged data.
    try {
        if (!record.LoadRecord(file))
            return SETUP_E_BADINFO;
    } catch (const CException&) {
        return SETUP_E_BADINFO;
    }
    // The record does not carry it; the install sets it as it loads the description.
    record.m_strResExt = RESOURCE_EXTENSION;
    return ERROR_SUCCESS;
}
