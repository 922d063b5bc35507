#include "uninstall/self_copy.h"

#include "uninstall/removal_texts.h"

namespace {

// The copy's prefix in the temporary directory: "Un1a2b.tmp".
const char COPY_PREFIX[] = "Un";

// An inheritable duplicate of a handle of this process, with dwAccess or,
// for 0, the handle's own access.
HANDLE InheritableCopy(HANDLE hHandle, DWORD dwAccess)
{
    HANDLE hCopy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), hHandle, GetCurrentProcess(), &hCopy, dwAccess, TRUE,
                         dwAccess ? 0 : DUPLICATE_SAME_ACCESS))
        return nullptr;
    return hCopy;
}

}  // namespace

BOOL CCopyLauncher::Start(const std::string& strStarted, const UninstallOptions& options)
{
    char szTempDir[MAX_PATH];
    char szCopy[MAX_PATH];
    const DWORD dwLength = GetTempPathA(MAX_PATH, szTempDir);
    if (dwLength == 0 || dwLength >= MAX_PATH || !GetTempFileNameA(szTempDir, COPY_PREFIX, 0, szCopy))
        return FALSE;
    // Read and delete access, sharing read and delete: the system may still
    // open the file to run it, and no one can write to it meanwhile.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    CKernelHandle hDeleteOnClose;
    if (CopyFileA(strStarted.c_str(), szCopy, FALSE))
        *hDeleteOnClose.Receive() = CreateFileA(szCopy, GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                                &inherit, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (!hDeleteOnClose.Get() || hDeleteOnClose.Get() == INVALID_HANDLE_VALUE) {
        const DWORD dwError = GetLastError();
        DeleteFileA(szCopy);
        SetLastError(dwError);
        return FALSE;
    }
    // From here on that handle deletes the copy on every way out.

    CKernelHandle hWrite;
    if (!CreatePipe(m_hResult.Receive(), hWrite.Receive(), nullptr, 0))
        return FALSE;
    CKernelHandle hChildWrite(InheritableCopy(hWrite.Get(), 0));
    CKernelHandle hSelf(InheritableCopy(GetCurrentProcess(), SYNCHRONIZE));
    if (!hChildWrite.Get() || !hSelf.Get())
        return FALSE;
    hWrite.Close();

    CopyCommand command;
    command.strStarted = strStarted;
    command.hPipe = reinterpret_cast<UINT_PTR>(hChildWrite.Get());
    command.hStarted = reinterpret_cast<UINT_PTR>(hSelf.Get());
    command.options = options;
    std::string strLine = FormatCopyCommand(szCopy, command);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    // The copy works in the system directory: D must not be its current
    // directory when it removes D, and a library that a control it
    // unregisters needs is looked for there, never in the temporary directory.
    char szSystemDir[MAX_PATH];
    const UINT nSystemDir = GetSystemDirectoryA(szSystemDir, MAX_PATH);
    if (nSystemDir == 0 || nSystemDir >= MAX_PATH)
        return FALSE;
    if (!CreateProcessA(szCopy, &strLine[0], nullptr, nullptr, TRUE, 0, nullptr, szSystemDir, &si, &pi))
        return FALSE;
    // The copy shows the windows: it may come to the foreground as this
    // program, started by the user, may.
    AllowSetForegroundWindow(pi.dwProcessId);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return TRUE;
}

DWORD CCopyLauncher::WaitForExitCode()
{
    DWORD dwCode = 0;
    DWORD dwRead = 0;
    if (!ReadFile(m_hResult.Get(), &dwCode, sizeof dwCode, &dwRead, nullptr) || dwRead != sizeof dwCode)
        return SETUP_EXIT_FAILED;
    return dwCode;
}

CStartedProcess::CStartedProcess(const CopyCommand& command)
    : m_hResult(reinterpret_cast<HANDLE>(command.hPipe)), m_hStarted(reinterpret_cast<HANDLE>(command.hStarted))
{
}

CStartedProcess::~CStartedProcess() { ReportExitCode(SETUP_EXIT_FAILED); }

void CStartedProcess::ReportExitCode(DWORD dwCode)
{
    if (!m_hResult.Get())
        return;
    DWORD dwWritten = 0;
    WriteFile(m_hResult.Get(), &dwCode, sizeof dwCode, &dwWritten, nullptr);
    m_hResult.Close();
}

void CStartedProcess::WaitForEnd() { WaitForSingleObject(m_hStarted.Get(), INFINITE); }
