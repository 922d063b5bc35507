// What the record, patch and install tests share: files read back whole, a
// folder listed with everything below it, the registry redirected below a
// test key and exported by the platform's own regedit, and install
// descriptions built in code.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "model/install_mngr.h"
#include "tests/support/win_files.h"

// The sample product's identifier (identity bytes 4..7).
constexpr DWORD VANTLER_PRODUCT_ID = 0x56544C52;

// HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT of the registry helpers, moved
// below HKLM\Software\VantlerRecordTest<pid> for the object's lifetime; the
// stand-in machine root starts with empty App Paths, Uninstall and
// SharedDLLs keys, as every machine has them.
class CRegistrySandbox {
public:
    CRegistrySandbox();
    ~CRegistrySandbox();
    CRegistrySandbox(const CRegistrySandbox&) = delete;
    CRegistrySandbox& operator=(const CRegistrySandbox&) = delete;

    // The key below HKLM that holds both stand-in roots.
    const std::string& Root() const { return m_strRoot; }
    // Full key names (for regedit) of the two stand-in roots.
    std::string MachineKey() const { return "HKEY_LOCAL_MACHINE\\" + m_strRoot + "\\Machine"; }
    std::string ClassesKey() const { return "HKEY_LOCAL_MACHINE\\" + m_strRoot + "\\Classes"; }
    HKEY Machine() const { return m_hMachine; }
    HKEY Classes() const { return m_hClasses; }

    // Both stand-in roots as regedit /E writes them, as plain text.
    std::string Export() const;

    // Gives everyone only read access (and WRITE_DAC) to a key below the
    // stand-in machine root, until UnlockAll or the sandbox goes.
    bool Lock(const std::string& key);
    void UnlockAll();

private:
    std::string m_strRoot;
    HKEY m_hMachine = nullptr;
    HKEY m_hClasses = nullptr;
    std::vector<std::string> m_locked;
};

// The small drive that tests/engine/full_drive mounts (a tmpfs of a few MB,
// as root only), as "V:", or "" when there is none.
std::string SmallDrive();
// Writes the file path until its drive has only keep bytes free.
void FillDrive(const std::string& path, ULONGLONG keep = 0);

// Runs a program and waits for it; the exit code, or -1 when it did not start.
int RunProgram(const std::string& commandLine, DWORD timeoutMs = 60000);

// A description of the Vantler layout: "Applikation" and "WinSys" below the
// root, identity with productId, title "Vantler".
void MakeDescription(CInstallMngr& m, DWORD productId);

// Writes the record m (storing serialisation) to path.
void WriteRecord(CInstallMngr& m, const std::string& path);
