// The whole install by the engine, headless: the sample floppy medium, packed
// by the authoring kit, installed by a setup program that runs from its first
// volume (install_driver.cpp) and changes disks when asked. Afterwards the
// machine holds what the product's install leaves; the test prints it all.
#include <gtest/gtest.h>

#include <cstdio>
#include <shlobj.h>

#include "engine/setup_engine.h"
#include "platform/progman.h"
#include "samples/vantler/src/vantler_ocx.h"
#include "tests/engine/record_support.h"
#include "tests/engine/sample_media.h"
#include "tests/support/temp_dir.h"

namespace {

bool HaveDisplay()
{
    char display[64];
    DWORD len = GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    return len > 0 && len < sizeof display;
}

std::string ProgramsFolder()
{
    char path[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::string();
    return path;
}

std::string SystemDir()
{
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, n);
}

std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : path;
}

// A string as a .reg file quotes it: backslashes and quotes escaped.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// A .reg line for a string value; an empty name is the default value.
std::string RegLine(const std::string& name, const std::string& value)
{
    return (name.empty() ? "@" : Quoted(name)) + "=" + Quoted(value);
}

std::string ClassesString(const std::string& key, const char* name)
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

void UnregisterControl(const std::string& path)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        return;
    typedef HRESULT(__stdcall * Entry)();
    if (Entry unregister = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer"))))
        unregister();
    FreeLibrary(module);
}

}  // namespace

TEST(EngineInstall, SampleFloppyMediumEndToEnd)
{
    if (!HaveDisplay())
        GTEST_SKIP() << "no display: Program Manager cannot answer";
    TempDir temp;
    CRegistrySandbox registry;
    const std::string volumes = temp.Path("media");
    BuildSampleMedium(volumes, [](Manifest& m) {
        m.hasSetupExe = true;
        m.setupExe = std::filesystem::path(HostPath(INSTALL_DRIVER));
    });
    // The first disk in its drive.
    const std::string drive = temp.Path("drive");
    ASSERT_TRUE(CreateDirectoryA(drive.c_str(), nullptr));
    for (const char* name : {"Setup.exe", "Setup.dat", "_Uninst.ex_", "Data.dat"})
        ASSERT_TRUE(CopyFileA((volumes + "\\disk1\\" + name).c_str(), (drive + "\\" + name).c_str(), FALSE)) << name;

    const std::string dest = temp.Path("Program Files\\Vantler");
    const std::string group = "Vantler Engine " + std::to_string(GetCurrentProcessId());
    const std::string runtime = SystemDir() + "\\VantlerRt.dll";
    const bool runtimeWasThere = Exists(runtime);
    const std::string log = temp.Path("install.log");
    const int result = RunProgram("\"" + drive + "\\Setup.exe\" \"" + dest + "\" \"" + group + "\" \"" + volumes +
                                      "\" \"" + registry.Root() + "\" \"" + log + "\"",
                                  300000);
    const std::string events = Contents(log);
    const std::string exported = registry.Export();
    const std::vector<std::string> files = ListTree(dest);
    const std::vector<std::string> items = ListTree(ProgramsFolder() + "\\" + group);
    const std::string control = ClassesString("CLSID\\" VANTLER_CLSID "\\InprocServer32", nullptr);
    std::printf("== callbacks and boxes\n%s\n== %s\n", events.c_str(), dest.c_str());
    for (const std::string& f : files)
        std::printf("  %s\n", f.c_str());
    std::printf("== program group %s\n", group.c_str());
    for (const std::string& item : items)
        std::printf("  %s\n", item.c_str());
    std::printf("== registry (HKLM and HKCR stand-ins)\n%s\n== HKCR\\CLSID\\%s\\InprocServer32 = %s\n",
                exported.c_str(), VANTLER_CLSID, control.c_str());

    ASSERT_EQ(0, result) << events;
    // Every later disk is asked for (how many there are depends on the size
    // of the program on disk 1).
    EXPECT_TRUE(Exists(volumes + "\\disk2"));
    for (int disk = 2; Exists(volumes + "\\disk" + std::to_string(disk)); ++disk)
        EXPECT_NE(std::string::npos,
                  events.find("insert disk " + std::to_string(disk) + " in " + drive.substr(0, 1) + ":\n"))
            << disk;
    EXPECT_EQ(std::string::npos, events.find("error ")) << events;
    EXPECT_EQ(std::string::npos, events.find("box ")) << events;

    // The files, byte for byte as staged; the forms point at their resources.
    std::vector<std::string> expectedFiles = {"Delphi\\", "Delphi\\Joust\\", "Delphi\\Q7\\", "Setup.inf",
                                              "VB\\", "VB\\Joust\\", "VB\\Q7\\"};
    for (const auto& file : SampleDestinationFiles()) {
        expectedFiles.push_back(file.first);
        if (file.first.find("Form1.frm") == std::string::npos) {
            EXPECT_EQ(Contents(StageFile(file.second)), Contents(dest + "\\" + file.first)) << file.first;
        }
    }
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(expectedFiles, files);
    EXPECT_EQ(Contents(StageFile("bin/VantlerRt.dll")), Contents(runtime));
    for (const char* demo : {"Joust", "Q7"}) {
        std::string form = Contents(StageFile(std::string("demo/VB/") + demo + "/Form1.frm"));
        const std::string old = std::string("C:\\PROJEKTE\\Language\\English\\") + demo + ".vtr";
        form.replace(form.find(old), old.size(), dest + "\\VB\\" + demo + "\\" + demo + ".vtr");
        EXPECT_EQ(form, Contents(dest + "\\VB\\" + demo + "\\Form1.frm")) << demo;
    }

    // The record: this product, installed paths, the chosen folder, no text.
    CSetupEngine next;
    MakeDescription(next, VANTLER_PRODUCT_ID);
    ASSERT_TRUE(next.CheckDestination(dest));
    const CSetupEngine& record = *next.m_pOldRecord;
    EXPECT_EQ(dest, record.m_strDestDir);
    EXPECT_EQ(group, record.m_strProgramFolder);
    EXPECT_EQ("Vantler", record.m_strProductTitle);
    EXPECT_EQ(0u, record.m_dwInfoTextLen);
    std::printf("== Setup.inf: destination %s, title %s, folder %s, text %lu bytes\n", record.m_strDestDir.c_str(),
                record.m_strProductTitle.c_str(), record.m_strProgramFolder.c_str(), record.m_dwInfoTextLen);
    std::vector<std::string> recorded;
    CObject* item = nullptr;
    for (int kind = next.m_pOldRecord->GetFirstItem(item); kind != TREE_END; kind = next.m_pOldRecord->GetNextItem(item)) {
        if (kind == TREE_FILE) {
            const CInstalledFile& file = *static_cast<CInstalledFile*>(item);
            recorded.push_back(file.m_strName);
            std::printf("  file %s, flags %lu, %lu bytes\n", file.m_strName.c_str(), file.m_dwFlags, file.m_dwSize);
        } else if (kind == TREE_ENTER) {
            const std::string& name = static_cast<CInstallDir*>(item)->m_strName;
            std::printf("  directory %s\n", name.c_str());
            EXPECT_EQ(std::string::npos, name.find('\\')) << "a directory keeps its real path";
        }
    }
    const std::vector<std::string> treeOrder = {
        dest + "\\VB\\Joust\\Joust.vbp", dest + "\\VB\\Joust\\Form1.frm", dest + "\\VB\\Joust\\Joust.vtr",
        dest + "\\VB\\Q7\\Q7.vbp",       dest + "\\VB\\Q7\\Form1.frm",    dest + "\\VB\\Q7\\Q7.vtr",
        dest + "\\Delphi\\Joust\\Joust.exe", dest + "\\Delphi\\Joust\\Joust.vtr", dest + "\\Delphi\\Q7\\Q7.exe",
        dest + "\\Delphi\\Q7\\Q7.vtr",   dest + "\\Tessel.exe",           dest + "\\Vantler.ocx",
        dest + "\\Vantler.hlp",          dest + "\\Tessel.hlp",           runtime};
    EXPECT_EQ(treeOrder, recorded);

    // The registry entries.
    for (const std::string& line : {
             "[" + registry.MachineKey() + "\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessel.exe]\r\n" +
                 RegLine("", dest + "\\Tessel.exe") + "\r\n" + RegLine("Path", dest),
             "[" + registry.MachineKey() + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantler]\r\n" +
                 RegLine("DisplayName", "Vantler") + "\r\n" + RegLine("UninstallString", dest + "\\Uninst.exe"),
             Quoted(runtime) + "=dword:00000001",
             "[" + registry.ClassesKey() + "\\.vtr]\r\n" + RegLine("", "Tessel.Document"),
             "[" + registry.ClassesKey() + "\\.vtr\\ShellNew]\r\n" + RegLine("NullFile", ""),
             "[" + registry.ClassesKey() + "\\Tessel.Document]\r\n" + RegLine("", "Vantler Resource"),
             "[" + registry.ClassesKey() + "\\Tessel.Document\\shell\\open\\command]\r\n" +
                 RegLine("", ShortPath(dest + "\\Tessel.exe") + " \"%1\"")})
        EXPECT_NE(std::string::npos, exported.find(line)) << line;

    // The program group, in the captions of the table.
    EXPECT_EQ((std::vector<std::string>{"Joust - Delphi.lnk", "Joust - VB.lnk", "Q7 - Delphi.lnk", "Q7 - VB.lnk",
                                        "Tessel Help.lnk", "Tessel.lnk", "Vantler ActiveX Help.lnk"}),
              items);
    // The control registered itself from its installed place.
    EXPECT_EQ(dest + "\\Vantler.ocx", control);

    UnregisterControl(dest + "\\Vantler.ocx");
    DdeExecuteAll({"[DeleteGroup(" + group + ")]"});
    if (!runtimeWasThere)
        DeleteFileA(runtime.c_str());
}
