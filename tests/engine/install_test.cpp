// The whole install by the engine, headless: the sample floppy medium, packed
// by the authoring kit, installed by a setup program that runs from its first
// volume (headless_setup.cpp) and changes disks when asked. Afterwards the
// machine holds what the product's install leaves; the test prints it all.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/progman.h"
#include "samples/vantler/src/vantler_ocx.h"
#include "tests/engine/engine_fixture.h"
#include "tests/samples/sample_paths.h"

namespace {

std::string SystemDir()
{
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, n);
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

// What the install leaves outside the test's folder goes again, whatever
// the test found: the control's registration, the group, the shared library.
class EngineInstall : public EngineFixture {
protected:
    void TearDown() override
    {
        UnregisterControl(m_strDest + "\\Vantler.ocx");
        DdeExecuteAll({"[DeleteGroup(" + m_strGroup + ")]"});
        if (!m_bRuntimeWasThere)
            DeleteFileA(m_strRuntime.c_str());
    }

    const std::string m_strGroup = "Vantler Engine " + std::to_string(GetCurrentProcessId());
    const std::string m_strRuntime = SystemDir() + "\\VantlerRt.dll";
    const bool m_bRuntimeWasThere = Exists(m_strRuntime);
};

TEST_F(EngineInstall, SampleFloppyMediumEndToEnd)
{
    if (!HaveDisplay())
        GTEST_SKIP() << NO_DISPLAY;
    BuildMedium(StagePath("floppy.json"), [](Manifest& m) {
        m.hasSetupExe = true;
        m.setupExe = std::filesystem::path(TestFile("engine_headless_setup.exe"));
    });
    // The first disk in its drive.
    const std::string drive = m_strSource;
    ASSERT_EQ((Lines{"Data.dat", "Setup.crc", "Setup.dat", "Setup.exe", "_Uninst.ex_"}), ListTree(drive));

    // Two levels to make, as below a fresh "Program Files".
    m_strDest = m_root.Path("Program Files\\Vantler");
    const std::string& dest = m_strDest;
    const std::string& group = m_strGroup;
    const std::string& runtime = m_strRuntime;
    const std::string log = m_root.Path("install.log");
    const int result = RunProgram("\"" + drive + "\\Setup.exe\" \"" + dest + "\" \"" + group + "\" \"" + m_strMedia +
                                      "\" \"" + m_registry.Root() + "\" \"" + log + "\"",
                                  300000);
    const std::string events = Read(log);
    const RegLines exported = m_registry.Export();
    const Lines files = ListTree(dest);
    const Lines items = ListTree(ProgramsFolder() + "\\" + group);
    const std::string control = ClassesString("CLSID\\" VANTLER_CLSID "\\InprocServer32", nullptr);
    std::printf("== callbacks and boxes\n%s\n== %s\n", events.c_str(), dest.c_str());
    for (const std::string& f : files)
        std::printf("  %s\n", f.c_str());
    std::printf("== program group %s\n", group.c_str());
    for (const std::string& item : items)
        std::printf("  %s\n", item.c_str());
    std::printf("== registry (HKLM and HKCR stand-ins)\n");
    for (const std::string& line : exported)
        std::printf("  %s\n", line.c_str());
    std::printf("== HKCR\\CLSID\\%s\\InprocServer32 = %s\n", VANTLER_CLSID, control.c_str());

    ASSERT_EQ(0, result) << events;
    // Every later disk is asked for (how many there are depends on the size
    // of the program on disk 1).
    EXPECT_TRUE(Exists(m_strMedia + "\\disk2"));
    for (int disk = 2; Exists(m_strMedia + "\\disk" + std::to_string(disk)); ++disk)
        EXPECT_NE(std::string::npos,
                  events.find("insert disk " + std::to_string(disk) + " in " + drive.substr(0, 1) + ":\n"))
            << disk;
    EXPECT_EQ(std::string::npos, events.find("error ")) << events;
    EXPECT_EQ(std::string::npos, events.find("box ")) << events;

    // The files, byte for byte as staged; the forms point at their resources.
    Lines expectedFiles = {"Delphi\\", "Delphi\\Joust\\", "Delphi\\Q7\\", "Setup.inf",
                           "VB\\",     "VB\\Joust\\",     "VB\\Q7\\"};
    for (const auto& file : SampleDestinationFiles()) {
        expectedFiles.push_back(file.first);
        if (file.first.find("Form1.frm") == std::string::npos) {
            EXPECT_EQ(Read(StagePath(file.second)), Read(dest + "\\" + file.first)) << file.first;
        }
    }
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(expectedFiles, files);
    EXPECT_EQ(Read(StagePath("bin/VantlerRt.dll")), Read(runtime));
    for (const char* demo : {"Joust", "Q7"}) {
        std::string form = Read(StagePath(std::string("demo/VB/") + demo + "/Form1.frm"));
        const std::string old = std::string("C:\\PROJEKTE\\Language\\English\\") + demo + ".vtr";
        form.replace(form.find(old), old.size(), dest + "\\VB\\" + demo + "\\" + demo + ".vtr");
        EXPECT_EQ(form, Read(dest + "\\VB\\" + demo + "\\Form1.frm")) << demo;
    }

    // The record: this product, installed paths, the chosen folder, no text.
    CSetupEngine next;
    DescribeVantler(next);
    ASSERT_TRUE(next.CheckDestination(dest));
    const CSetupEngine& record = *next.m_pOldRecord;
    EXPECT_EQ(dest, record.m_strDestDir);
    EXPECT_EQ(group, record.m_strProgramFolder);
    EXPECT_EQ("Vantler", record.m_strProductTitle);
    EXPECT_EQ(0u, record.m_dwInfoTextLen);
    std::printf("== Setup.inf: destination %s, title %s, folder %s, text %lu bytes\n", record.m_strDestDir.c_str(),
                record.m_strProductTitle.c_str(), record.m_strProgramFolder.c_str(), record.m_dwInfoTextLen);
    Lines recorded;
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
    const Lines treeOrder = {
        dest + "\\VB\\Joust\\Joust.vbp", dest + "\\VB\\Joust\\Form1.frm", dest + "\\VB\\Joust\\Joust.vtr",
        dest + "\\VB\\Q7\\Q7.vbp",       dest + "\\VB\\Q7\\Form1.frm",    dest + "\\VB\\Q7\\Q7.vtr",
        dest + "\\Delphi\\Joust\\Joust.exe", dest + "\\Delphi\\Joust\\Joust.vtr", dest + "\\Delphi\\Q7\\Q7.exe",
        dest + "\\Delphi\\Q7\\Q7.vtr",   dest + "\\Tessel.exe",           dest + "\\Vantler.ocx",
        dest + "\\Vantler.hlp",          dest + "\\Tessel.hlp",           runtime};
    EXPECT_EQ(treeOrder, recorded);

    // The registry entries.
    const std::string program = dest + "\\Tessel.exe";
    const Lines entries = {"App Paths\\Tessel.exe|@=" + program,
                           "App Paths\\Tessel.exe|Path=" + dest,
                           "Uninstall\\Vantler|DisplayName=Vantler",
                           "Uninstall\\Vantler|UninstallString=\"" + dest + "\\Uninst.exe\"",
                           "SharedDLLs|" + runtime + "=dword:00000001",
                           "HKCR\\.vtr|@=Tessel.Document",
                           "HKCR\\.vtr\\ShellNew|NullFile=",
                           "HKCR\\Tessel.Document|@=Vantler Resource",
                           "HKCR\\Tessel.Document\\shell\\open\\command|@=" + ShortPath(program) + " \"%1\""};
    for (const std::string& entry : entries)
        EXPECT_EQ(1u, exported.count(entry)) << entry;

    // The program group, in the captions of the table.
    EXPECT_EQ((Lines{"Joust - Delphi.lnk", "Joust - VB.lnk", "Q7 - Delphi.lnk", "Q7 - VB.lnk", "Tessel Help.lnk",
                     "Tessel.lnk", "Vantler ActiveX Help.lnk"}),
              items);
    // The control registered itself from its installed place.
    EXPECT_EQ(dest + "\\Vantler.ocx", control);
}
