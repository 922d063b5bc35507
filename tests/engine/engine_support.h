// What every engine test program shares besides the fixture: files read,
// written and listed, the sample product's media, descriptions built in code,
// this program's small drive, other programs run, and the registry sandbox.
#pragma once

#include <functional>
#include <list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "model/install_mngr.h"
#include "tests/support/key_lock.h"
#include "tools/setupedit/manifest.h"

typedef std::vector<std::string> Lines;

// --- Files
std::string Read(const std::string& path);
void Write(const std::string& path, const std::string& contents);
bool Exists(const std::string& path);
// An existing file at path before the install (its folder is made).
void Place(const std::string& path, const std::string& contents, bool readOnly = false);
// Damages a file of a medium: the lowest bit of the byte at offset flips.
void FlipByte(const std::string& path, size_t offset);
// Every file and directory below dir, as paths relative to it, sorted;
// directories end in a backslash.
Lines ListTree(const std::string& dir);
// Deletes a directory with everything below it, read-only files included.
void RemoveTree(const std::string& dir);
// Every temporary file ("Fil*.tmp", as the engine names them) below dir.
Lines TempFilesIn(const std::string& dir);

// A file the build put beside the test program (libraries, helper programs).
std::string TestFile(const std::string& name);
// A Windows path for a path the build recorded on the host (drive Z:).
std::string HostPath(const char* pszHostPath);
// The folder that holds the program groups' folders, and the all-users one
// that holds the groups made of shell links.
std::string ProgramsFolder();
std::string CommonProgramsFolder();
// The short form of a path while the path exists, else the path itself.
std::string ShortPath(const std::string& path);

// Runs a program and waits for it; the exit code, or -1 when it did not start
// or did not end in time.
int RunProgram(const std::string& commandLine, DWORD timeoutMs = 60000);
// Program Manager answers only while there is an X display.
bool HaveDisplay();
constexpr const char* NO_DISPLAY = "no display: Program Manager cannot answer";
// Closes the folder windows that Wine's Program Manager opens on a group it
// made or showed (while one is open the Wine server does not end), waiting
// up to dwFirstMs for the first to come.
void CloseFolderWindows(DWORD dwFirstMs);

// A file opened by the test with no sharing at all, until destruction.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsHeld() const { return m_hFile != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_hFile;
};

// --- The small drive: a tmpfs of a few MB that CTest mounts for this program
// alone (small_drive, as root), so that programs running side by side never
// fill each other's disk. "V:", or "" when there is none.
std::string SmallDrive();
constexpr const char* NO_SMALL_DRIVE = "no small drive: CTest mounts one for the program (as root)";
// Writes the file path until its drive has only keep bytes free.
void FillDrive(const std::string& path, ULONGLONG keep = 0);

// --- Descriptions and media
// The sample product's identifier (identity bytes 4..7).
constexpr DWORD VANTLER_PRODUCT_ID = 0x56544C52;
// The Vantler layout in code: identity with productId, "Applikation" and
// "WinSys" below the root, title and program folder "Vantler", Tessel.exe
// with its .vtr resources.
void DescribeVantler(CInstallMngr& m, DWORD productId = VANTLER_PRODUCT_ID);
// A first-level directory node (ROOT_APPLICATION, ROOT_SYSTEM).
InstallNode& FirstLevel(CInstallTree& tree, int index);

// Packs a manifest (after edit, when given) into out\disk1, out\disk2, ...;
// returns the number of volumes.
int PackMedium(const std::string& manifest, const std::string& out, const std::function<void(Manifest&)>& edit = {});
// Every file the sample product installs into the destination directory
// (relative to it, Uninst.exe included) with the stage file it comes from.
const std::vector<std::pair<std::string, std::string>>& SampleDestinationFiles();

// --- The registry
// An export is a set of lines: "[key]" for a key, "key|name=data" for a
// value, "@" naming the default value, string data unquoted and other data
// as regedit writes it (dword:00000004). Keys below the machine's
// CurrentVersion are named by their rest ("SharedDLLs"), other machine keys
// "HKLM\...", keys below the classes root "HKCR\...".
typedef std::set<std::string> RegLines;

// A key of the real registry ("HKEY_LOCAL_MACHINE\\Software\\...") with
// everything below it, as export lines. A key name that starts with one of
// names' first parts is shown with its second part instead (the first match).
RegLines ExportRegistry(const std::string& key, const std::vector<std::pair<std::string, std::string>>& names = {});

// HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT of the registry helpers, moved
// below HKLM\Software\VantlerEngineTest<pid> (Machine and Classes) for the
// object's lifetime; the stand-in machine root starts with the empty App
// Paths, Uninstall and SharedDLLs keys every machine has. Tests look at it
// through regedit, not through the helpers under test.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // The key below HKLM that holds both stand-ins.
    const std::string& Root() const { return m_strRoot; }
    RegLines Export() const;
    // What changed between two exports in the keys whose names start with
    // scope: "+line" added, "-line" removed.
    static RegLines Changes(const RegLines& before, const RegLines& after, const std::string& scope = "");
    // Writes an export line: dword:xxxxxxxx data as a REG_DWORD, any other as REG_SZ.
    LONG Put(const std::string& line) const;
    // Gives everybody only access to a key, until UnlockAll or the sandbox goes.
    bool Lock(const std::string& key, DWORD access = KEY_READ);
    void UnlockAll() { m_locks.clear(); }

private:
    std::string RealKey(const std::string& key) const;

    std::string m_strRoot;
    HKEY m_hMachine = nullptr;
    HKEY m_hClasses = nullptr;
    std::list<KeyLock> m_locks;
};
