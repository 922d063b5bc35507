// The rollback on its own, from a journal filled the way the copy phase and
// the registration fill it: the machine afterwards is the machine before,
// except what the rollback leaves by design.
#include <gtest/gtest.h>

#include "engine/registry_entries.h"
#include "engine/setup_engine.h"
#include "platform/registry.h"
#include "tests/engine/record_support.h"
#include "tests/support/temp_dir.h"

namespace {

InstallNode& TopDir(CInstallMngr& m, int index)
{
    return *m.GetRoot().children.GetAt(m.GetRoot().children.FindIndex(static_cast<size_t>(index)));
}

}  // namespace

TEST(Rollback, UndoesWhatTheJournalHolds)
{
    CRegistrySandbox registry;
    TempDir dest, sys;
    CSetupEngine engine;
    MakeDescription(engine, VANTLER_PRODUCT_ID);
    engine.m_strDestDir = dest.Root();
    engine.m_strSysDir = sys.Root();

    // Before the run: an older install's App Paths key and extension, a
    // shared runtime counted twice, a file the run will replace.
    const std::string exeKey = AppPathKey("Tessel.exe");
    SetRegString(HKEY_LOCAL_MACHINE, exeKey, "", "C:\\Old\\Tessel.exe");
    SetRegString(HKEY_LOCAL_MACHINE, exeKey, "Path", "C:\\Old");
    const std::string runtime = sys.Path("VantlerRt.dll"), added = sys.Path("VantlerNew.dll");
    const std::string zeroed = sys.Path("VantlerZero.dll");
    SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, runtime, 2);
    SetRegString(HKEY_CLASSES_ROOT, ".vtr", "", "Old.Document");
    dest.WriteFile("Readme.txt", "old");
    const std::string before = registry.Export();
    ASSERT_NE(std::string::npos, before.find("\"Old.Document\"")) << before;

    // The run: files written, entries written and journaled.
    InstallNode& app = TopDir(engine, ROOT_APPLICATION);
    InstallNode* demo = engine.AddDirectory(app, "VB");
    CreateDirectoryA(dest.Path("VB").c_str(), nullptr);
    dest.WriteFile("Uninst.exe", "MZ");
    dest.WriteFile("Readme.txt", "new");
    engine.AddFile(app, dest.Path("Readme.txt"));
    CInstalledFile* tessel = engine.AddFile(app, dest.WriteFile("Tessel.exe", "MZ"));
    CInstalledFile* form = engine.AddFile(*demo, dest.WriteFile("VB\\Form1.frm", "form"));
    CInstalledFile* rt = engine.AddFile(TopDir(engine, ROOT_SYSTEM), runtime, 0, FILE_SHARED);
    CInstalledFile* rtNew = engine.AddFile(TopDir(engine, ROOT_SYSTEM), added, 0, FILE_SHARED);
    CInstalledFile* rtZero = engine.AddFile(TopDir(engine, ROOT_SYSTEM), zeroed, 0, FILE_SHARED);
    InstallJournal& j = engine.m_journal;
    j.m_bUninstCreated = TRUE;
    j.m_lstNewFiles.AddTail(tessel);
    j.m_lstNewFiles.AddTail(form);

    j.m_bAppPathSaved = j.m_bAppPathWritten = TRUE;
    j.m_strOldAppPath = "C:\\Old\\Tessel.exe";
    j.m_strOldAppDir = "C:\\Old";
    SetRegString(HKEY_LOCAL_MACHINE, exeKey, "", dest.Path("Tessel.exe"));
    SetRegString(HKEY_LOCAL_MACHINE, exeKey, "Path", dest.Root());
    j.m_bUninstKeyWritten = TRUE;
    SetRegString(HKEY_LOCAL_MACHINE, UninstallKey("Vantler"), "DisplayName", "Vantler");
    SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, runtime, 3);
    SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, added, 1);
    SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, zeroed, 0);  // changed by someone else meanwhile
    j.m_lstCountedDlls.AddTail(rt);
    j.m_lstCountedDlls.AddTail(rtNew);
    j.m_lstCountedDlls.AddTail(rtZero);
    j.m_bDocTypeWritten = TRUE;
    SetRegString(HKEY_CLASSES_ROOT, "Tessel.Document\\shell\\open\\command", "", "x \"%1\"");
    j.m_bExtExisted = j.m_bExtWritten = TRUE;
    SetRegString(HKEY_CLASSES_ROOT, ".vtr", "", "Tessel.Document");
    SetRegString(HKEY_CLASSES_ROOT, ".vtr\\ShellNew", "NullFile", "");

    engine.Rollback();

    // New files go; the replaced file and the created directory stay.
    EXPECT_EQ((std::vector<std::string>{"Readme.txt", "VB\\"}), ListTree(dest.Root()));
    EXPECT_EQ("new", Contents(dest.Path("Readme.txt")));
    // The extension existed: it keeps what the run wrote.
    std::string text;
    EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_CLASSES_ROOT, ".vtr", "", text));
    EXPECT_EQ("Tessel.Document", text);
    EXPECT_EQ(ERROR_SUCCESS, RegKeyExists(HKEY_CLASSES_ROOT, ".vtr\\ShellNew"));
    DeleteRegKeyTree(HKEY_CLASSES_ROOT, ".vtr\\ShellNew");
    SetRegString(HKEY_CLASSES_ROOT, ".vtr", "", "Old.Document");
    EXPECT_EQ(before, registry.Export());
    // The top-level directories are bound to the real paths again.
    EXPECT_EQ(dest.Root(), TopDir(engine, ROOT_APPLICATION).dir->m_strName);
    EXPECT_EQ(sys.Root(), TopDir(engine, ROOT_SYSTEM).dir->m_strName);
}

// Uninst.exe that was there before the run stays; an empty journal touches
// nothing at all.
TEST(Rollback, EmptyJournalChangesNothing)
{
    CRegistrySandbox registry;
    TempDir dest;
    dest.WriteFile("Uninst.exe", "MZ");
    SetRegString(HKEY_LOCAL_MACHINE, AppPathKey("Tessel.exe"), "", "C:\\Old\\Tessel.exe");
    SetRegString(HKEY_CLASSES_ROOT, "Tessel.Document", "", "Vantler Resource");
    const std::string before = registry.Export();

    CSetupEngine engine;
    engine.m_strDestDir = dest.Root();
    engine.m_strMainExe = "Tessel.exe";
    engine.m_strResExt = "vtr";
    engine.Rollback();

    EXPECT_EQ(std::vector<std::string>{"Uninst.exe"}, ListTree(dest.Root()));
    EXPECT_EQ(before, registry.Export());
}
