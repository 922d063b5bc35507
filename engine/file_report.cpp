// Turns a failed file operation into the report the user sees: most causes
// through the callback, two of them as boxes of their own.
#include "engine/setup_engine.h"

#include "framework/message_box.h"
#include "platform/path.h"

void CSetupEngine::ReportFileException(const CException* pError, const std::string& strFileName)
{
    if (pError && pError->IsUserQuit())
        return;  // the user chose to quit; there is nothing to report
    const CFileException* pFileError = pError ? pError->AsFileException() : nullptr;
    if (!pFileError) {
        m_pfnCallback(SETUPCB_ERROR, SETUPERR_GENERAL, 0);
        return;
    }
    const std::string strName = pFileError->m_strFileName.empty() ? strFileName : pFileError->m_strFileName;
    switch (pFileError->m_cause) {
    case CFileException::fileNotFound:
    case CFileException::badPath:
        SetupMessageBox("Can't copy the file " + FileNamePart(strName) +
                            ".\r\nThere has likely occurred an access-violation.",
                        MB_OK | MB_ICONSTOP);
        break;
    case CFileException::accessDenied:
        m_pfnCallback(SETUPCB_ERROR, SETUPERR_FILEINUSE, StringArg(strName));
        break;
    case CFileException::sharingViolation:
        SetupMessageBox("Can't access to the file " + strName +
                            ".\r\nIt is used by Windows.\r\nClose all Windows-applications and restart the Setup.",
                        MB_OK | MB_ICONSTOP);
        break;
    case CFileException::diskFull:
        m_pfnCallback(SETUPCB_ERROR, SETUPERR_DISKFULL, strName.empty() ? 0 : strName[0]);
        break;
    default:
        m_pfnCallback(SETUPCB_ERROR, SETUPERR_GENERAL, 0);
        break;
    }
}
