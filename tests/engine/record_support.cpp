#include "tests/engine/record_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/registry_entries.h"
#include "framework/file.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "tests/support/temp_dir.h"

CRegistrySandbox::CRegistrySandbox()
{
    char name[64];
    std::snprintf(name, sizeof name, "Software\\VantlerRecordTest%lu", GetCurrentProcessId());
    m_strRoot = name;
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_strRoot.c_str());
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (m_strRoot + "\\Machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &m_hMachine, nullptr);
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (m_strRoot + "\\Classes").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &m_hClasses, nullptr);
    // The keys every machine has, so that removing what a run added leaves
    // their parents as they were.
    for (const char* key : {APP_PATHS_KEY, UNINSTALL_KEY, SHARED_DLLS_KEY}) {
        HKEY handle;
        if (RegCreateKeyExA(m_hMachine, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) == ERROR_SUCCESS)
            RegCloseKey(handle);
    }
    RedirectRegistryRoot(HKEY_LOCAL_MACHINE, m_hMachine);
    RedirectRegistryRoot(HKEY_CLASSES_ROOT, m_hClasses);
}

namespace {

void SetEveryoneAccess(HKEY key, DWORD access)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return;
    BYTE aclBuffer[256];
    PACL acl = reinterpret_cast<PACL>(aclBuffer);
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    AddAccessAllowedAce(acl, ACL_REVISION, access, everyone);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, access ? acl : nullptr, FALSE);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
    FreeSid(everyone);
}

}  // namespace

bool CRegistrySandbox::Lock(const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(m_hMachine, key.c_str(), 0, WRITE_DAC, &handle) != ERROR_SUCCESS)
        return false;
    SetEveryoneAccess(handle, KEY_READ | WRITE_DAC);
    RegCloseKey(handle);
    m_locked.push_back(key);
    return true;
}

void CRegistrySandbox::UnlockAll()
{
    for (const std::string& key : m_locked) {
        HKEY handle;
        if (RegOpenKeyExA(m_hMachine, key.c_str(), 0, WRITE_DAC, &handle) == ERROR_SUCCESS) {
            SetEveryoneAccess(handle, 0);
            RegCloseKey(handle);
        }
    }
    m_locked.clear();
}

CRegistrySandbox::~CRegistrySandbox()
{
    RedirectRegistryRoot(HKEY_LOCAL_MACHINE, nullptr);
    RedirectRegistryRoot(HKEY_CLASSES_ROOT, nullptr);
    UnlockAll();
    if (m_hMachine)
        RegCloseKey(m_hMachine);
    if (m_hClasses)
        RegCloseKey(m_hClasses);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_strRoot.c_str());
}

std::string CRegistrySandbox::Export() const
{
    TempDir temp;
    std::string text;
    for (const std::string& key : {MachineKey(), ClassesKey()}) {
        const std::string file = temp.Path("export.reg");
        int code = RunProgram("regedit.exe /E \"" + file + "\" \"" + key + "\"");
        if (code != 0)
            return "regedit failed with " + std::to_string(code);
        // UTF-16 with a byte-order mark; the test keys are plain ASCII.
        const std::string wide = Contents(file);
        for (size_t i = 2; i + 1 < wide.size(); i += 2)
            text += wide[i + 1] ? '?' : wide[i];
    }
    return text;
}

std::string SmallDrive()
{
    ULARGE_INTEGER freeBytes, totalBytes;
    if (!GetDiskFreeSpaceExA(SMALL_DRIVE "\\", &freeBytes, nullptr, &totalBytes))
        return std::string();
    // The host's disks are far larger; anything else is not our tmpfs.
    return totalBytes.QuadPart <= 64ull << 20 ? SMALL_DRIVE : std::string();
}

void FillDrive(const std::string& path, ULONGLONG keep)
{
    ULARGE_INTEGER freeBytes;
    if (!GetDiskFreeSpaceExA((DirectoryPart(path) + "\\").c_str(), &freeBytes, nullptr, nullptr))
        return;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    static const char zeros[65536] = {};
    ULONGLONG left = freeBytes.QuadPart > keep ? freeBytes.QuadPart - keep : 0;
    // A drive that takes less than it said is filled in ever smaller pieces.
    for (DWORD chunk = sizeof zeros; left && chunk;) {
        const DWORD size = static_cast<DWORD>(left < chunk ? left : chunk);
        DWORD written = 0;
        if (!WriteFile(file, zeros, size, &written, nullptr) || written < size)
            chunk /= 2;
        left -= written;
    }
    CloseHandle(file);
}

int RunProgram(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

void MakeDescription(CInstallMngr& m, DWORD productId)
{
    std::memset(m.m_abIdentity, 0, sizeof m.m_abIdentity);
    for (int i = 0; i < 4; ++i)
        m.m_abIdentity[4 + i] = static_cast<BYTE>(productId >> (8 * i));
    m.AddDirectory(m.GetRoot(), ROOT_APPLICATION_NAME);
    m.AddDirectory(m.GetRoot(), ROOT_SYSTEM_NAME);
    m.m_strProductTitle = "Vantler";
    m.m_strProgramFolder = "Vantler";
    m.m_strMainExe = "Tessel.exe";
    m.m_strResExt = "vtr";
}

void WriteRecord(CInstallMngr& m, const std::string& path)
{
    CFile file(path.c_str(), CFile::modeWrite | CFile::modeCreate);
    m.StoreRecord(file);
    file.Close();
}
