// Uninst.exe itself, after the real Setup.exe has installed the sample
// directory medium: started from the Uninstall entry as the Apps list starts
// it and worked from outside. The machine is compared before the install and
// after the removal: the product's registry entries (regedit exports), its
// files, the shared runtime, the program group, and the temporary directory,
// where the uninstaller's copy must not stay.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "framework/file.h"
#include "model/install_mngr.h"
#include "platform/disk.h"
#include "res/resource.h"
#include "samples/vantler/src/vantler_ocx.h"
#include "tests/engine/engine_support.h"
#include "tests/gui/setup_run.h"
#include "tests/gui/uninstall_run.h"
#include "tests/samples/sample_paths.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const COMPLETED = "The Setup was completed successfully.";
const char* const REMOVED = "Vantler was removed from your computer.";
const std::string CURRENT_VERSION = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::string PENDING_KEY = "System\\CurrentControlSet\\Control\\Session Manager";

std::string SystemDir()
{
    char path[MAX_PATH];
    return std::string(path, GetSystemDirectoryA(path, MAX_PATH));
}

// The files the removal deletes at the next restart, as the system keeps them.
std::string PendingRemovals()
{
    char data[8192] = "";
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, PENDING_KEY.c_str(), "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                     nullptr, data, &size) != ERROR_SUCCESS)
        return std::string();
    return std::string(data, size);
}

void SetPendingRemovals(const std::string& data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PENDING_KEY.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (data.empty())
        RegDeleteValueA(key, "PendingFileRenameOperations");
    else
        RegSetValueExA(key, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

// What an install of the product touches outside its directory.
struct Machine {
    RegLines registry;
    bool bRuntime;
    std::vector<std::string> copies;
    bool operator==(const Machine& other) const
    {
        return registry == other.registry && bRuntime == other.bRuntime && copies == other.copies;
    }
};

class UninstallExe : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_pMedia = new TempDir;
        PackMedium(StagePath("directory.json"), s_pMedia->Path("media"));
    }
    static void TearDownTestSuite()
    {
        delete s_pMedia;
        s_pMedia = nullptr;
    }

    // The product's machine-wide entries that earlier installs (other tests')
    // left go first, so that each test starts on a machine without it; the
    // SharedDLLs key is there, as on every Windows machine.
    void SetUp() override
    {
        HKEY hShared;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &hShared, nullptr) == ERROR_SUCCESS)
            RegCloseKey(hShared);
        for (const char* key : {"App Paths\\Tessel.exe", "Uninstall\\Vantler"})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\Microsoft\\Windows\\CurrentVersion\\" + std::string(key)).c_str());
        for (const char* key : {".vtr", "Tessel.Document", "CLSID\\" VANTLER_CLSID, VANTLER_PROGID})
            RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                           m_strRuntime.c_str());
        DeleteFileA(m_strRuntime.c_str());
        m_strPending = PendingRemovals();
    }
    void TearDown() override
    {
        SetPendingRemovals(m_strPending);
        for (const std::string& name : m_astrNames) {
            RemoveTree("C:\\" + name);
            RemoveTree(ProgramsFolder() + "\\" + name);
        }
    }

    Machine Look() const
    {
        Machine machine;
        for (const std::string& key : {CURRENT_VERSION + "App Paths", CURRENT_VERSION + "Uninstall",
                                      CURRENT_VERSION + "SharedDLLs", std::string("HKEY_CLASSES_ROOT\\.vtr"),
                                      std::string("HKEY_CLASSES_ROOT\\Tessel.Document"),
                                      std::string("HKEY_CLASSES_ROOT\\CLSID\\" VANTLER_CLSID),
                                      std::string("HKEY_CLASSES_ROOT\\" VANTLER_PROGID)}) {
            const RegLines lines = ExportRegistry(key, {{CURRENT_VERSION, ""}});
            machine.registry.insert(lines.begin(), lines.end());
        }
        machine.bRuntime = Exists(m_strRuntime);
        machine.copies = UninstallerCopies();
        return machine;
    }

    // Installs the sample into C:\<name> with the program group <name>, as a
    // user who types both and takes every other default.
    std::string Install(const std::string& name)
    {
        const std::string strDest = "C:\\" + name;
        RemoveTree(strDest);
        m_astrNames.push_back(name);
        const std::string strSource = m_temp.Path("source-" + name);
        CreateDirectoryA(strSource.c_str(), nullptr);
        for (const std::string& file : ListTree(s_pMedia->Path("media\\disk1")))
            CopyFileA(s_pMedia->Path("media\\disk1\\" + file).c_str(), (strSource + "\\" + file).c_str(), FALSE);
        CSetupRun setup(strSource + "\\Setup.exe", {});
        setup.m_bVerbose = false;
        EXPECT_TRUE(setup.Start());
        EXPECT_EQ(COMPLETED, setup.Run([&](const SetupWindow& window) {
            if (window.kind == SetupWindow::WIZARD && window.nPage == 1)
                gui::SetItemText(gui::CurrentPage(window.hwnd), IDC_DEST_DIR, "\\" + name);
            if (window.kind == SetupWindow::WIZARD && window.nPage == 2)
                gui::SetItemText(gui::CurrentPage(window.hwnd), IDC_FOLDER_NAME, name);
            return false;
        }));
        EXPECT_EQ(0u, setup.Wait(10000));
        return strDest;
    }

    // Runs the Uninstall entry's command as the Apps list does, as a user who
    // agrees unless onWindow answers first; the final box's text.
    std::string Uninstall(const std::function<bool(const UninstallWindow&)>& onWindow = nullptr)
    {
        return Uninstall(EntryValue("UninstallString"), onWindow);
    }
    std::string Uninstall(const std::string& strCommand,
                          const std::function<bool(const UninstallWindow&)>& onWindow = nullptr)
    {
        m_pRun = std::make_unique<CUninstallRun>(strCommand);
        CreateDirectoryA("screenshots", nullptr);
        m_pRun->m_strShots = "screenshots";
        EXPECT_TRUE(m_pRun->Start());
        const std::string strFinal = m_pRun->Run(onWindow);
        m_dwExit = m_pRun->Wait(10000);
        EXPECT_TRUE(m_pRun->WaitForCopy(10000)) << "the copy did not end";
        return strFinal;
    }

    // A value of the product's Uninstall entry.
    static std::string EntryValue(const char* pszName)
    {
        char value[MAX_PATH] = "";
        DWORD size = sizeof value;
        EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE,
                                              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantler",
                                              pszName, RRF_RT_REG_SZ, nullptr, value, &size));
        return value;
    }

    static TempDir* s_pMedia;
    TempDir m_temp;
    const std::string m_strRuntime = SystemDir() + "\\VantlerRt.dll";
    std::string m_strPending;
    std::vector<std::string> m_astrNames;  // of the installations: their folders and groups
    std::unique_ptr<CUninstallRun> m_pRun;
    DWORD m_dwExit = 0;
};

TempDir* UninstallExe::s_pMedia = nullptr;

std::string GroupFolder(const std::string& group) { return ProgramsFolder() + "\\" + group; }

TEST_F(UninstallExe, InstallThenRemoveLeavesTheMachineAsBefore)
{
    // A blank in D: the Uninstall entry names the program in quotes.
    const Machine before = Look();
    const std::string dest = Install("Vantler Un");
    ASSERT_TRUE(Exists(dest + "\\Uninst.exe"));
    ASSERT_EQ(0u, ProbeFile(GroupFolder("Vantler Un")));
    const Machine installed = Look();
    EXPECT_EQ(1u, installed.registry.count("SharedDLLs|" + m_strRuntime + "=dword:00000001"));
    EXPECT_EQ(1u, installed.registry.count("[HKEY_CLASSES_ROOT\\CLSID\\" VANTLER_CLSID "\\InprocServer32]"));
    EXPECT_EQ(1u, installed.registry.count("Uninstall\\Vantler|UninstallString=\"" + dest + "\\Uninst.exe\""));

    EXPECT_EQ(REMOVED, Uninstall());
    EXPECT_EQ(0u, m_dwExit);
    EXPECT_EQ((std::vector<std::string>{"Do you want to remove Vantler and all of its components?", REMOVED}),
              m_pRun->m_astrBoxes);
    ASSERT_EQ(1u, m_pRun->m_astrShared.size());
    EXPECT_NE(std::string::npos, m_pRun->m_astrShared[0].find("\r\n" + m_strRuntime + "\r\n"));

    EXPECT_FALSE(Exists(dest)) << ListTree(dest).size() << " entries left";
    EXPECT_NE(0u, ProbeFile(GroupFolder("Vantler Un")));
    const Machine after = Look();
    EXPECT_EQ(before.registry, after.registry);
    EXPECT_EQ(before.bRuntime, after.bRuntime);
    EXPECT_TRUE(after.copies.empty()) << after.copies.front();
}

// Installed at the screen, where Program Manager made the group (the shell
// keeps it as a folder of links in the user's Programs folder), and removed
// as deployment tools remove it: the quiet command with no display, where no
// shell answers for Program Manager. The group goes as the folder of links it
// is; unattended, the runtime stays, counted once.
TEST_F(UninstallExe, AnInstallAtTheScreenGoesUnattendedWithNoDisplay)
{
    Machine expected = Look();
    const std::string dest = Install("VantlerQuiet");
    ASSERT_EQ(0u, ProbeFile(GroupFolder("VantlerQuiet")));
    ASSERT_NE(0u, ProbeFile(CommonProgramsFolder() + "\\VantlerQuiet"));

    const std::string log = m_temp.Path("removal.log");
    ASSERT_TRUE(StartWithoutDisplay(EntryValue("QuietUninstallString") + " \"/LOG=" + log + "\""));
    // The copy removes D last; its own file goes when it ends.
    for (DWORD dwWaited = 0; (Exists(dest) || !UninstallerCopies().empty()) && dwWaited < 60000; dwWaited += 100)
        Sleep(100);
    const std::string strLog = Read(log);
    EXPECT_NE(std::string::npos, strLog.find("  Exit code 0\r\n")) << strLog;
    EXPECT_NE(std::string::npos, strLog.find("  Program group VantlerQuiet: shell links Joust - VB, Q7 - VB, "
                                             "Joust - Delphi, Q7 - Delphi, Tessel, Vantler ActiveX Help, Tessel Help "
                                             "deleted from " + GroupFolder("VantlerQuiet") + "\r\n"))
        << strLog;
    EXPECT_FALSE(Exists(dest));
    EXPECT_NE(0u, ProbeFile(GroupFolder("VantlerQuiet")));
    expected.registry.insert("SharedDLLs|" + m_strRuntime + "=dword:00000001");
    expected.bRuntime = true;
    EXPECT_EQ(expected, Look());
}

// Two installations share the runtime: removing the first lowers its count
// and leaves the second whole; the second, removed with No to the shared
// file, keeps the file, counted once.
TEST_F(UninstallExe, TwoInstallationsShareTheRuntime)
{
    const std::string first = Install("VantlerOne");
    const std::string second = Install("VantlerTwo");
    ASSERT_EQ(1u, Look().registry.count("SharedDLLs|" + m_strRuntime + "=dword:00000002"));

    const std::string strFinal = Uninstall(first + "\\Uninst.exe");
    EXPECT_EQ(0u, m_dwExit);
    EXPECT_TRUE(m_pRun->m_astrShared.empty());
    for (const std::string& line :
         {m_strRuntime + ": still used by other programs",
          std::string("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessel.exe: belongs to another installation now"),
          std::string("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantler: belongs to another installation now"),
          std::string("HKCR\\.vtr: belongs to another installation now")})
        EXPECT_NE(std::string::npos, strFinal.find("\r\n" + line)) << strFinal;
    EXPECT_FALSE(Exists(first));
    const Machine between = Look();
    EXPECT_EQ(1u, between.registry.count("SharedDLLs|" + m_strRuntime + "=dword:00000001"));
    EXPECT_EQ(1u, between.registry.count("App Paths\\Tessel.exe|@=" + second + "\\Tessel.exe"));
    EXPECT_TRUE(between.bRuntime);
    for (const auto& file : SampleDestinationFiles())
        EXPECT_TRUE(Exists(second + "\\" + file.first)) << file.first;
    EXPECT_EQ(0u, ProbeFile(GroupFolder("VantlerTwo")));

    const std::string strKept = Uninstall([&](const UninstallWindow& window) {
        if (window.kind != UninstallWindow::SHARED_FILE)
            return false;
        // No is the default: Enter answers it.
        PostMessageA(window.hwnd, WM_KEYDOWN, VK_RETURN, 0);
        gui::WaitGone(window.hwnd);
        return true;
    });
    EXPECT_EQ("Vantler was removed from your computer. These items remain:\r\n\r\n" + m_strRuntime +
                  ": kept, as you chose",
              strKept);
    EXPECT_EQ(1u, m_pRun->m_astrShared.size());
    EXPECT_FALSE(Exists(second));
    const Machine after = Look();
    EXPECT_TRUE(after.bRuntime);
    EXPECT_EQ(1u, after.registry.count("SharedDLLs|" + m_strRuntime + "=dword:00000001"));
    EXPECT_EQ(0u, after.registry.count("[Uninstall\\Vantler]"));
}

// A file of the user's, an entry another installation took over and a file
// held open stay, each named with its reason; the held file goes at the
// next restart.
TEST_F(UninstallExe, WhatIsNotTheProductsStays)
{
    const std::string dest = Install("VantlerKeep");
    Write(dest + "\\VB\\Joust\\notes.txt", "the user's");
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessel.exe",
                              nullptr, REG_SZ, "C:\\Other\\Tessel.exe", 20));
    std::string strFinal;
    {
        HeldFile held(dest + "\\Tessel.hlp");
        ASSERT_TRUE(held.IsHeld());
        strFinal = Uninstall();
    }
    EXPECT_EQ("Vantler was removed from your computer. These items remain:\r\n\r\n"
              "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessel.exe: belongs to another "
              "installation now\r\n" +
                  dest + "\\Tessel.hlp: in use, it will be removed when Windows restarts\r\n" + dest +
                  "\\VB\\Joust: holds files that Setup did not install\r\n\r\nRestart Windows to complete the removal.",
              strFinal);
    EXPECT_EQ(3010u, m_dwExit);
    EXPECT_NE(std::string::npos, PendingRemovals().find(dest + "\\Tessel.hlp"));
    EXPECT_EQ((Lines{"Tessel.hlp", "VB\\", "VB\\Joust\\", "VB\\Joust\\notes.txt"}), ListTree(dest));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessel.exe");
}

// No to the question changes nothing, and a second removal while one runs
// ends at once; a damaged record removes nothing either.
TEST_F(UninstallExe, NoOrADamagedRecordRemovesNothing)
{
    const std::string dest = Install("VantlerDamaged");
    const Lines files = ListTree(dest);
    const Machine before = Look();

    std::string strSecond;
    DWORD dwSecond = 0;
    EXPECT_EQ("", Uninstall([&](const UninstallWindow& window) {
        if (window.kind != UninstallWindow::BOX || window.box.nButtons != MB_YESNO)
            return false;
        CUninstallRun second(dest + "\\Uninst.exe");
        second.m_bVerbose = false;
        EXPECT_TRUE(second.Start());
        strSecond = second.Run();
        dwSecond = second.Wait(10000);
        gui::Answer(window.box, IDNO);
        return true;
    }));
    EXPECT_EQ("Another removal is running. Try again when it has ended.", strSecond);
    EXPECT_EQ(1618u, dwSecond);
    EXPECT_EQ(1602u, m_dwExit);
    EXPECT_EQ(files, ListTree(dest));
    EXPECT_EQ(before, Look());

    const std::string record = dest + "\\Setup.inf";
    const std::string bytes = Read(record);
    Write(record, bytes.substr(0, bytes.size() / 2));
    EXPECT_EQ("The install record " + record + " is damaged.\r\nNothing was removed.", Uninstall());
    EXPECT_EQ(1603u, m_dwExit);
    EXPECT_EQ(1u, m_pRun->m_astrBoxes.size()) << "asked before reading the record";
    EXPECT_EQ(files, ListTree(dest));
    EXPECT_EQ(before, Look());
    EXPECT_EQ(0u, ProbeFile(GroupFolder("VantlerDamaged")));
}

// A removal that stopped half-way (the power went) left the record, some
// files and some entries: a second run finishes without a word about what
// is gone already.
TEST_F(UninstallExe, ASecondRunFinishesTheJob)
{
    const Machine before = Look();
    const std::string dest = Install("VantlerHalf");
    RemoveTree(dest + "\\VB");
    DeleteFileA((dest + "\\Tessel.exe").c_str());
    RemoveTree(GroupFolder("VantlerHalf"));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessel.exe");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".vtr");

    EXPECT_EQ(REMOVED, Uninstall());
    EXPECT_EQ(0u, m_dwExit);
    EXPECT_FALSE(Exists(dest));
    EXPECT_EQ(before, Look());
}

// A record that names files elsewhere (written over the installed one, as
// tampering would): the product in D goes, nothing outside D is touched, and
// each entry that points elsewhere is named.
TEST_F(UninstallExe, AHostileRecordTouchesNothingOutsideD)
{
    const std::string dest = Install("VantlerHostile");
    const std::string victims = m_temp.Path("victims");
    for (const char* name : {"a.txt", "b.txt", "c.dll"})
        Place(victims + "\\" + name, name);
    const std::string climb = dest + "\\VB\\..\\.." + victims.substr(2) + "\\b.txt";
    const std::string record = dest + "\\Setup.inf";
    {
        CInstallMngr tampered;
        CFile in(record.c_str(), CFile::modeRead);
        ASSERT_TRUE(tampered.LoadRecord(in));
        in.Close();
        InstallNode& app = FirstLevel(tampered, ROOT_APPLICATION);
        tampered.AddFile(app, victims + "\\a.txt", 1, FILE_SELFREG);
        // A path that climbs out of D into the victims' folder.
        tampered.AddFile(*app.children.GetAt(app.children.GetHeadPosition()), climb, 1);
        tampered.AddFile(FirstLevel(tampered, ROOT_SYSTEM), victims + "\\c.dll", 1, FILE_SHARED);
        tampered.m_strProgramFolder = "..";
        CFile out(record.c_str(), CFile::modeCreate | CFile::modeWrite);
        tampered.StoreRecord(out);
    }
    const Lines programs = ListTree(ProgramsFolder());

    const std::string strFinal = Uninstall();
    EXPECT_EQ(0u, m_dwExit);
    for (const std::string& entry : {victims + "\\a.txt", climb, victims + "\\c.dll",
                                     std::string("..")})
        EXPECT_NE(std::string::npos,
                  strFinal.find("\r\n" + entry + ": skipped, the install record places it outside the product's folders"))
            << strFinal;
    EXPECT_EQ((Lines{"a.txt", "b.txt", "c.dll"}), ListTree(victims));
    EXPECT_EQ(programs, ListTree(ProgramsFolder()));
    EXPECT_FALSE(Exists(dest));
}

}  // namespace
