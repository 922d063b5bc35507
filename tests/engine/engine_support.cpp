#include "tests/engine/engine_support.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/registry_entries.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "tests/support/temp_dir.h"
#include "tools/setupedit/media_writer.h"

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Place(const std::string& path, const std::string& contents, bool readOnly)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    Write(path, contents);
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

void FlipByte(const std::string& path, size_t offset)
{
    std::string bytes = Read(path);
    bytes.at(offset) ^= 1;
    Write(path, bytes);
}

namespace {

void ListInto(const std::string& dir, const std::string& prefix, Lines& out)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(prefix + name + "\\");
            ListInto(dir + "\\" + name, prefix + name + "\\", out);
        } else {
            out.push_back(prefix + name);
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

}  // namespace

Lines ListTree(const std::string& dir)
{
    Lines out;
    ListInto(dir, "", out);
    std::sort(out.begin(), out.end());
    return out;
}

void RemoveTree(const std::string& dir)
{
    const Lines entries = ListTree(dir);
    // Deepest first, so that every directory is empty when its turn comes.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::string path = dir + "\\" + *it;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (it->back() == '\\')
            RemoveDirectoryA(path.c_str());
        else
            DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(dir.c_str());
}

Lines TempFilesIn(const std::string& dir)
{
    Lines temps;
    for (const std::string& entry : ListTree(dir)) {
        const std::string name = entry.substr(entry.find_last_of('\\') + 1);
        if (name.size() > 7 && _strnicmp(name.c_str(), "Fil", 3) == 0 &&
            _stricmp(name.c_str() + name.size() - 4, ".tmp") == 0)
            temps.push_back(dir + "\\" + entry);
    }
    return temps;
}

std::string TestFile(const std::string& name)
{
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    return DirectoryPart(std::string(self, length)) + "\\" + name;
}

std::string HostPath(const char* pszHostPath)
{
    std::string path = pszHostPath;
    if (!path.empty() && path[0] == '/')
        path.insert(0, "Z:");
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string ProgramsFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string CommonProgramsFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
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

bool HaveDisplay()
{
    char display[64];
    const DWORD length = GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    return length > 0 && length < sizeof display;
}

void CloseFolderWindows(DWORD dwFirstMs)
{
    const DWORD dwStart = GetTickCount();
    HWND window = nullptr;
    while (!(window = FindWindowA("ExplorerWClass", nullptr)) && GetTickCount() - dwStart < dwFirstMs)
        Sleep(100);
    for (; window; window = FindWindowA("ExplorerWClass", nullptr)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        for (int i = 0; IsWindow(window) && i < 50; ++i)
            Sleep(100);
        if (IsWindow(window))
            break;
    }
}

HeldFile::HeldFile(const std::string& path)
    : m_hFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
{
}

HeldFile::~HeldFile()
{
    if (IsHeld())
        CloseHandle(m_hFile);
}

std::string SmallDrive()
{
    char letter[8];
    const DWORD length = GetEnvironmentVariableA("VANTLER_SMALL_DRIVE", letter, sizeof letter);
    if (length == 0 || length >= sizeof letter)
        return std::string();
    const std::string drive(letter, length);
    ULARGE_INTEGER totalBytes;
    if (!GetDiskFreeSpaceExA((drive + "\\").c_str(), nullptr, &totalBytes, nullptr))
        return std::string();
    // The host's disks are far larger; anything else is not our tmpfs.
    return totalBytes.QuadPart <= 64ull << 20 ? drive : std::string();
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

void DescribeVantler(CInstallMngr& m, DWORD productId)
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

InstallNode& FirstLevel(CInstallTree& tree, int index)
{
    return *tree.GetRoot().children.GetAt(tree.GetRoot().children.FindIndex(static_cast<size_t>(index)));
}

int PackMedium(const std::string& manifest, const std::string& out, const std::function<void(Manifest&)>& edit)
{
    Manifest m = LoadManifest(std::filesystem::path(manifest));
    if (edit)
        edit(m);
    return static_cast<int>(BuildMedia(m, std::filesystem::path(out)).volumes.size());
}

const std::vector<std::pair<std::string, std::string>>& SampleDestinationFiles()
{
    static const std::vector<std::pair<std::string, std::string>> files = {
        {"Delphi\\Joust\\Joust.exe", "bin/Joust.exe"},
        {"Delphi\\Joust\\Joust.vtr", "demo/VB/Joust/Joust.vtr"},
        {"Delphi\\Q7\\Q7.exe", "bin/Q7.exe"},
        {"Delphi\\Q7\\Q7.vtr", "demo/VB/Q7/Q7.vtr"},
        {"Tessel.exe", "bin/Tessel.exe"},
        {"Tessel.hlp", "help/Tessel.hlp"},
        {"Uninst.exe", "bin/Uninst.exe"},
        {"VB\\Joust\\Form1.frm", "demo/VB/Joust/Form1.frm"},
        {"VB\\Joust\\Joust.vbp", "demo/VB/Joust/Joust.vbp"},
        {"VB\\Joust\\Joust.vtr", "demo/VB/Joust/Joust.vtr"},
        {"VB\\Q7\\Form1.frm", "demo/VB/Q7/Form1.frm"},
        {"VB\\Q7\\Q7.vbp", "demo/VB/Q7/Q7.vbp"},
        {"VB\\Q7\\Q7.vtr", "demo/VB/Q7/Q7.vtr"},
        {"Vantler.hlp", "help/Vantler.hlp"},
        {"Vantler.ocx", "bin/Vantler.ocx"},
    };
    return files;
}

namespace {

const std::string CURRENT_VERSION = "Software\\Microsoft\\Windows\\CurrentVersion\\";

// A name that starts with prefix gets replacement instead.
bool ReplacePrefix(std::string& name, const std::string& prefix, const std::string& replacement)
{
    if (name.compare(0, prefix.size(), prefix) != 0)
        return false;
    name.replace(0, prefix.size(), replacement);
    return true;
}

// A quoted string of an export line from pos on; pos moves past it.
std::string Unquote(const std::string& line, size_t& pos)
{
    std::string text;
    for (++pos; pos < line.size() && line[pos] != '"'; ++pos) {
        if (line[pos] == '\\')
            ++pos;
        text += line[pos];
    }
    ++pos;
    return text;
}

}  // namespace

RegLines ExportRegistry(const std::string& key, const std::vector<std::pair<std::string, std::string>>& names)
{
    TempDir temp;
    const std::string file = temp.Path("export.reg");
    const int code = RunProgram("regedit.exe /E \"" + file + "\" \"" + key + "\"");
    if (code != 0)
        return {"regedit failed with " + std::to_string(code)};
    // UTF-16 with a byte-order mark.
    const std::string bytes = Read(file);
    std::string text(bytes.size(), '\0');
    text.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(bytes.data()),
                                                        static_cast<int>(bytes.size() / 2), &text[0],
                                                        static_cast<int>(text.size()), nullptr, nullptr)));
    RegLines lines;
    std::istringstream stream(text);
    std::string line, next, name;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Long data goes on over lines that end in a backslash.
        while (!line.empty() && line.back() == '\\' && std::getline(stream, next)) {
            line.pop_back();
            line += next.substr(std::min(next.find_first_not_of(' '), next.size()));
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
        }
        if (line.size() > 2 && line[0] == '[') {
            name = line.substr(1, line.size() - 2);
            for (const auto& shown : names) {
                if (ReplacePrefix(name, shown.first, shown.second))
                    break;
            }
            lines.insert("[" + name + "]");
        } else if (!line.empty() && (line[0] == '@' || line[0] == '"')) {
            size_t pos = 0;
            const std::string value = line[0] == '@' ? std::string(1, line[pos++]) : Unquote(line, pos);
            ++pos;
            lines.insert(name + "|" + value + "=" + (line[pos] == '"' ? Unquote(line, pos) : line.substr(pos)));
        }
    }
    return lines;
}

RegistrySandbox::RegistrySandbox() : m_strRoot("Software\\VantlerEngineTest" + std::to_string(GetCurrentProcessId()))
{
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

RegistrySandbox::~RegistrySandbox()
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

std::string RegistrySandbox::RealKey(const std::string& key) const
{
    std::string real = key;
    if (!ReplacePrefix(real, "HKCR\\", m_strRoot + "\\Classes\\") &&
        !ReplacePrefix(real, "HKLM\\", m_strRoot + "\\Machine\\"))
        real.insert(0, m_strRoot + "\\Machine\\" + CURRENT_VERSION);
    return real;
}

RegLines RegistrySandbox::Export() const
{
    const std::string machine = "HKEY_LOCAL_MACHINE\\" + m_strRoot + "\\Machine\\";
    const std::string classes = "HKEY_LOCAL_MACHINE\\" + m_strRoot + "\\Classes\\";
    return ExportRegistry("HKEY_LOCAL_MACHINE\\" + m_strRoot,
                          {{machine + CURRENT_VERSION, ""}, {machine, "HKLM\\"}, {classes, "HKCR\\"}});
}

RegLines RegistrySandbox::Changes(const RegLines& before, const RegLines& after, const std::string& scope)
{
    RegLines changes;
    auto add = [&](const RegLines& from, const RegLines& to, char sign) {
        for (const std::string& line : from) {
            if (!to.count(line) && line.compare(line[0] == '[', scope.size(), scope) == 0)
                changes.insert(sign + line);
        }
    };
    add(before, after, '-');
    add(after, before, '+');
    return changes;
}

LONG RegistrySandbox::Put(const std::string& line) const
{
    const size_t bar = line.find('|'), equals = line.find('=', bar);
    const std::string name = line.substr(bar + 1, equals - bar - 1), data = line.substr(equals + 1);
    const std::string key = RealKey(line.substr(0, bar));
    const char* pszName = name == "@" ? nullptr : name.c_str();
    if (data.compare(0, 6, "dword:") == 0) {
        const DWORD value = std::stoul(data.substr(6), nullptr, 16);
        return RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), pszName, REG_DWORD, &value, sizeof value);
    }
    return RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), pszName, REG_SZ, data.c_str(),
                           static_cast<DWORD>(data.size() + 1));
}

bool RegistrySandbox::Lock(const std::string& key, DWORD access)
{
    return m_locks.emplace_back(HKEY_LOCAL_MACHINE, RealKey(key), access).Result() == ERROR_SUCCESS;
}
