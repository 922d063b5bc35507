// Setup.exe itself, started as a user starts it and worked from outside
// through its real windows: the whole install of the sample floppy medium,
// Cancel in "Copying Files", the read-only question, a second copy, and the
// main window's picture. Screenshots are kept in "screenshots" below the
// test's folder. Then Setup.exe as deployment tools start it, unattended
// with no display at all (a CTest entry of its own runs those cases).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <memory>
#include <regex>

#include "app/gradient.h"
#include "framework/format_text.h"
#include "app/setup_instance.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "res/resource.h"
#include "tests/engine/engine_support.h"
#include "tests/gui/setup_run.h"
#include "tests/gui/uninstall_run.h"
#include "tests/samples/sample_paths.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const QUIT = "Do you really want to quit Setup ?";
const char* const COMPLETED = "The Setup was completed successfully.";
const char* const NOT_FINISHED = "The Setup was not finished completely.";

class SetupExe : public ::testing::Test {
protected:
    // The sample floppy medium, packed once for every test.
    static void SetUpTestSuite()
    {
        s_pMedia = new TempDir;
        PackMedium(StagePath("floppy.json"), s_pMedia->Path("media"));
    }
    static void TearDownTestSuite()
    {
        delete s_pMedia;
        s_pMedia = nullptr;
    }

    // Setup.exe from disk 1 in its drive (a fresh copy), with the later disks
    // at hand for the prompts; the sample medium unless another is named, and
    // strArgs on the command line.
    CSetupRun& Start(bool bScreenshots = false, std::string strMedia = std::string(),
                     const std::string& strArgs = std::string())
    {
        if (strMedia.empty())
            strMedia = s_pMedia->Path("media");
        m_astrDisks.clear();
        CreateDirectoryA(m_strDrive.c_str(), nullptr);
        for (const std::string& name : ListTree(strMedia + "\\disk1"))
            CopyFileA((strMedia + "\\disk1\\" + name).c_str(), (m_strDrive + "\\" + name).c_str(), FALSE);
        for (int n = 2; Exists(strMedia + "\\disk" + std::to_string(n)); ++n)
            m_astrDisks.push_back(strMedia + "\\disk" + std::to_string(n));
        m_pRun = std::make_unique<CSetupRun>(m_strDrive + "\\Setup.exe", m_astrDisks);
        if (bScreenshots) {
            CreateDirectoryA("screenshots", nullptr);
            m_pRun->m_strShots = "screenshots";
        }
        m_pRun->m_strArgs = strArgs;
        EXPECT_TRUE(m_pRun->Start());
        return *m_pRun;
    }
    // A copy of the sample medium that the test may damage.
    std::string OwnMedium() const
    {
        const std::string strMedia = m_temp.Path("own");
        std::filesystem::copy(s_pMedia->Path("media"), strMedia, std::filesystem::copy_options::recursive);
        return strMedia;
    }

    // A destination of the test's own, empty at the start: typed on the
    // destination page, which then goes on as a user's Next.
    static std::string Destination(const char* pszBelowC)
    {
        const std::string strDest = std::string("C:") + pszBelowC;
        RemoveTree(strDest);
        return strDest;
    }
    static void TypeDestination(const SetupWindow& window, const char* pszBelowC)
    {
        if (window.kind == SetupWindow::WIZARD && window.nPage == 1)
            gui::SetItemText(gui::CurrentPage(window.hwnd), IDC_DEST_DIR, pszBelowC);
    }

    static TempDir* s_pMedia;
    TempDir m_temp;
    const std::string m_strDrive = m_temp.Path("drive");
    std::vector<std::string> m_astrDisks;
    std::unique_ptr<CSetupRun> m_pRun;
};

TempDir* SetupExe::s_pMedia = nullptr;

TEST_F(SetupExe, InstallsTheSampleFloppyMediumWithItsDefaults)
{
    const std::string strDest = Destination("\\Vantler");
    CSetupRun& setup = Start(true);
    int nBarAtPrompt = -1;
    bool bSheetSeen = false;
    EXPECT_EQ(setup.Run([&](const SetupWindow& window) {
        // The wizard opens centred on the main window, below its caption and
        // title; the sample's information text fits its page.
        if (window.kind == SetupWindow::WIZARD && window.nPage == 0 && !bSheetSeen) {
            bSheetSeen = true;
            const POINT ptCentred = gui::CentredPlace(window.hwnd, setup.MainWindow());
            EXPECT_EQ(ptCentred.x, gui::WindowRect(window.hwnd).left);
            EXPECT_EQ(ptCentred.y, gui::WindowRect(window.hwnd).top);
            HWND hwndText = GetDlgItem(gui::CurrentPage(window.hwnd), IDC_INFO_TEXT);
            EXPECT_GT(SendMessageA(hwndText, EM_GETLINECOUNT, 0, 0), 10);
            EXPECT_EQ(gui::LinesPastTheEdge(hwndText), std::vector<int>());
        }
        // While the prompt holds the copy up, the bar shows how far it got:
        // disk 1 holds nearly two thirds of the product.
        if (window.kind == SetupWindow::BOX && window.box.strText.rfind("Insert the disk 2 ", 0) == 0) {
            HWND hwndBar = GetDlgItem(setup.Window("Copying Files"), IDC_PROGRESS);
            gui::WaitUntil([&] { return SendMessageA(hwndBar, PBM_GETPOS, 0, 0) >= 50; }, 2000);
            nBarAtPrompt = static_cast<int>(SendMessageA(hwndBar, PBM_GETPOS, 0, 0));
        }
        return false;
    }),
              COMPLETED);
    EXPECT_TRUE(bSheetSeen);
    EXPECT_EQ(setup.Wait(5000), 0u);
    EXPECT_GE(nBarAtPrompt, 50);

    // The default destination was created on request, and each later disk
    // was asked for in the drive Setup.exe started from.
    std::vector<std::string> astrExpected = {"The destination directory " + strDest +
                                             " does not exist. Do you want to create it ?"};
    for (size_t n = 2; n < m_astrDisks.size() + 2; ++n)
        astrExpected.push_back("Insert the disk " + std::to_string(n) + " in " + m_strDrive.substr(0, 1) + ": !");
    astrExpected.push_back(COMPLETED);
    EXPECT_EQ(setup.m_astrBoxes, astrExpected);

    for (const auto& file : SampleDestinationFiles()) {
        // (The demo projects' forms are patched after the copy.)
        if (file.first.find("Form1.frm") == std::string::npos)
            EXPECT_EQ(Read(strDest + "\\" + file.first), Read(StagePath(file.second))) << file.first;
        else
            EXPECT_TRUE(Exists(strDest + "\\" + file.first)) << file.first;
    }
    EXPECT_TRUE(Exists(strDest + "\\Setup.inf"));
}

TEST_F(SetupExe, TwoCancelClicksInCopyingFilesAskOnce)
{
    Destination("\\VantlerCancel");
    CSetupRun& setup = Start();
    int nQuestions = 0;
    const std::string strFinal = setup.Run([&](const SetupWindow& window) {
        TypeDestination(window, "\\VantlerCancel");
        if (window.kind != SetupWindow::BOX)
            return false;
        if (window.box.strText.rfind("Insert the disk 2 ", 0) == 0) {
            // Disk 2 goes in, OK is pressed, and Cancel is clicked twice before
            // Setup.exe reads its queue again: both clicks wait there together.
            HWND hwndProgress = setup.Window("Copying Files");
            EXPECT_NE(hwndProgress, nullptr);
            setup.InsertDisk(2);
            setup.Suspend();
            gui::Press(window.hwnd, IDOK);
            gui::Press(hwndProgress, IDCANCEL);
            gui::Press(hwndProgress, IDCANCEL);
            setup.Resume();
            gui::WaitGone(window.hwnd);
            return true;
        }
        if (window.box.strText != QUIT)
            return false;
        ++nQuestions;
        EXPECT_EQ(window.box.nButtons, static_cast<UINT>(MB_YESNO));
        EXPECT_EQ(window.box.nIcon, static_cast<UINT>(MB_ICONQUESTION));
        EXPECT_EQ(window.box.nDefault, IDNO);
        gui::Answer(window.box, IDNO);  // the copy goes on
        return true;
    });
    EXPECT_EQ(nQuestions, 1);
    EXPECT_EQ(strFinal, COMPLETED);
}

// The question about a read-only file whose path (190 characters) is too
// long for its line: shortened in the middle, the question shows whole; the
// dialog opens centred on "Copying Files" with the focus on "&Yes".
TEST_F(SetupExe, AsksBeforeOverwritingAReadOnlyFile)
{
    const std::string strBelowC = "\\VantlerReadOnly\\" + std::string(160, 'v');
    const std::string strDest = Destination(strBelowC.c_str());
    const std::string strHelp = strDest + "\\Tessel.hlp";
    ASSERT_EQ(strHelp.size(), 190u);
    Place(strHelp, "an older help file without a version record", true);
    CSetupRun& setup = Start(true);
    int nAsked = 0;
    EXPECT_EQ(setup.Run([&](const SetupWindow& window) {
        TypeDestination(window, strBelowC.c_str());
        if (window.kind == SetupWindow::READ_ONLY) {
            ++nAsked;
            EXPECT_EQ(gui::ItemText(window.hwnd, IDC_READ_ONLY_TEXT),
                      "Setup has detected the Read-Only-File\r\nC:\\...\\Tessel.hlp.\r\nOverwrite this file ?");
            EXPECT_EQ(IsDlgButtonChecked(window.hwnd, IDC_DONT_SHOW_AGAIN), static_cast<UINT>(BST_UNCHECKED));
            EXPECT_EQ(gui::Focus(window.hwnd), GetDlgItem(window.hwnd, IDOK));
            HWND hwndOwner = GetWindow(window.hwnd, GW_OWNER);
            EXPECT_EQ(gui::Caption(hwndOwner), "Copying Files");
            const POINT ptCentred = gui::CentredPlace(window.hwnd, hwndOwner);
            EXPECT_EQ(ptCentred.x, gui::WindowRect(window.hwnd).left);
            EXPECT_EQ(ptCentred.y, gui::WindowRect(window.hwnd).top);
        }
        return false;  // "&Yes"
    }),
              COMPLETED);
    EXPECT_EQ(nAsked, 1);
    EXPECT_EQ(Read(strHelp), Read(StagePath("help/Tessel.hlp")));
}

// Names on a hostile medium, the default program folder and a marked file's
// name, that hold Program Manager commands: the install goes through and they
// are only names, the group and its item made under them and nothing else in
// the Start Menu changed (StartUp keeps the user's file).
TEST_F(SetupExe, NamesFromTheMediumAreOnlyNames)
{
    const std::string strStartMenu = DirectoryPart(ProgramsFolder());
    const std::string strPrograms = FileNamePart(ProgramsFolder());
    const std::string strHostile = "a)][DeleteGroup(StartUp)][CreateGroup(b";
    CreateDirectoryA((ProgramsFolder() + "\\StartUp").c_str(), nullptr);
    Write(ProgramsFolder() + "\\StartUp\\mine.txt", "the user's");
    for (const char* pszFolder : {"X)][DeleteGroup(StartUp)][CreateGroup(Y", "X)][DeleteGroup(..)][CreateGroup(X"}) {
        const std::string strMedia = m_temp.Path("hostile");
        RemoveTree(strMedia);
        PackMedium(StagePath("floppy.json"), strMedia, [&](Manifest& m) {
            m.programFolder = pszFolder;
            m.application.files[3].name = strHostile + ".hlp";  // Tessel.hlp, marked for an item
        });
        const std::string strDest = Destination("\\VantlerHostile");
        const Lines before = ListTree(strStartMenu);
        CSetupRun& setup = Start(false, strMedia);
        EXPECT_EQ(setup.Run([](const SetupWindow& window) {
            TypeDestination(window, "\\VantlerHostile");
            return false;
        }),
                  COMPLETED)
            << pszFolder;
        setup.Wait(5000);

        EXPECT_TRUE(Exists(strDest + "\\" + strHostile + ".hlp"));
        const std::string strGroup = strPrograms + "\\" + pszFolder + "\\";
        Lines expected = before;
        expected.push_back(strGroup);
        for (const char* item : {"Joust - Delphi", "Joust - VB", "Q7 - Delphi", "Q7 - VB", "Tessel",
                                 "Vantler ActiveX Help", strHostile.c_str()})
            expected.push_back(strGroup + item + ".lnk");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, ListTree(strStartMenu)) << pszFolder;
        DdeDeleteGroup(pszFolder);
    }
    EXPECT_EQ(Read(ProgramsFolder() + "\\StartUp\\mine.txt"), "the user's");
    DeleteFileA((ProgramsFolder() + "\\StartUp\\mine.txt").c_str());
}

// A second copy ends at once without a window of its own, also while the
// first copy reads no messages (held still here, as a slow floppy holds it);
// the first comes forward, restored, as soon as it reads them.
TEST_F(SetupExe, ASecondCopyEndsAndBringsTheFirstForward)
{
    for (bool bFirstBusy : {false, true}) {
        SCOPED_TRACE(bFirstBusy ? "the first copy reads no messages" : "the first copy shows the wizard");
        CSetupRun& first = Start();
        HWND hwndSheet = first.WaitFor(SetupWindow::WIZARD);
        HWND hwndMain = first.MainWindow();
        ASSERT_NE(hwndSheet, nullptr);
        ASSERT_NE(hwndMain, nullptr);
        ShowWindow(hwndMain, SW_MINIMIZE);
        ASSERT_TRUE(gui::WaitUntil([&] { return IsIconic(hwndMain) != FALSE; }));
        if (bFirstBusy)
            first.Suspend();

        CSetupRun second(m_strDrive + "\\Setup.exe", {});
        ASSERT_TRUE(second.Start());
        bool bShown = false;
        EXPECT_TRUE(gui::WaitUntil([&] {
            bShown = bShown || second.MainWindow() != nullptr;
            return !second.IsRunning();
        })) << "the second copy did not end";
        EXPECT_EQ(second.Wait(0), 1618u);  // another setup of the product is running
        EXPECT_FALSE(bShown) << "the second copy opened its main window";
        if (bFirstBusy)
            first.Resume();
        EXPECT_TRUE(gui::WaitUntil([&] { return !IsIconic(hwndMain); })) << "the first copy stayed minimised";
        EXPECT_TRUE(gui::WaitUntil([&] { return GetForegroundWindow() == hwndSheet; }))
            << "the first copy's wizard did not come forward";

        // The first copy goes on as before.
        EXPECT_EQ(first.Run([&](const SetupWindow& window) {
            if (window.kind == SetupWindow::WIZARD) {
                gui::Press(window.hwnd, IDCANCEL);
                gui::WaitUntil([&] { return first.Window("Setup") != nullptr; });
                return true;
            }
            if (window.kind == SetupWindow::BOX && window.box.strText == QUIT)
                gui::Answer(window.box, IDYES);
            return window.kind == SetupWindow::BOX && window.box.strText == QUIT;
        }),
                  NOT_FINISHED);
    }
}

// The decision without windows: one holder per product, held until it goes.
TEST(SetupInstance, OneHolderPerProduct)
{
    const DWORD dwProduct = 0x7E570000 | (GetCurrentProcessId() & 0xFFFF);
    {
        CSetupInstance first;
        ASSERT_TRUE(first.Claim(dwProduct));
        CSetupInstance second, other;
        EXPECT_FALSE(second.Claim(dwProduct));
        EXPECT_TRUE(other.Claim(dwProduct + 1));
    }
    CSetupInstance again;
    EXPECT_TRUE(again.Claim(dwProduct));
}

TEST_F(SetupExe, MainWindowShowsTheGradientAndTheTitle)
{
    CSetupRun& setup = Start(true);
    bool bChecked = false;
    setup.Run([&](const SetupWindow& window) {
        if (window.kind == SetupWindow::WIZARD) {
            gui::Press(window.hwnd, IDCANCEL);
            gui::WaitUntil([&] { return setup.Window("Setup") != nullptr; });
            return true;
        }
        if (window.kind != SetupWindow::BOX)
            return false;
        if (window.box.strText == QUIT) {
            gui::Answer(window.box, IDYES);
            return true;
        }
        if (window.box.strText != NOT_FINISHED)
            return false;
        // The final message over the maximised main window, which nothing else covers.
        HWND hwndMain = setup.MainWindow();
        EXPECT_EQ(gui::Text(hwndMain), "Vantler Setup");
        EXPECT_TRUE(IsZoomed(hwndMain));
        setup.Shot(hwndMain, "setup-main-window-final");
        const gui::Image client = gui::CaptureSettled(hwndMain, true);
        RECT rc;
        GetClientRect(hwndMain, &rc);
        bChecked = client.cx == rc.right && client.cy == rc.bottom;
        if (!bChecked)
            return false;

        // Every row of the bands at both ends, band by band: the last column
        // and row are not copied from the picture.
        int nWrong = 0;
        for (int i = 0; i < GRADIENT_BANDS; ++i) {
            const GradientBand band = GetGradientBand(i, client.cy);
            for (int y = band.nTop; y < band.nBottom; ++y)
                for (int x : {0, client.cx - 2})
                    nWrong += client.At(x, y) != RGB(0, 0, band.bBlue);
        }
        EXPECT_EQ(nWrong, 0);
        EXPECT_EQ(GetGradientBand(GRADIENT_BANDS - 1, client.cy).nBottom, client.cy - 1);
        EXPECT_NE(client.At(client.cx - 1, 0), RGB(0, 0, 255));
        EXPECT_NE(client.At(0, client.cy - 1), RGB(0, 0, 0));

        // The title: white letters over their dark blue shadow, top left.
        int nWhite = 0, nShadow = 0;
        for (int y = 22; y < 80; ++y)
            for (int x = 25; x < 250; ++x) {
                nWhite += client.At(x, y) == RGB(255, 255, 255);
                nShadow += client.At(x, y) == RGB(0, 0, 50);
            }
        EXPECT_GT(nWhite, 100);
        EXPECT_GT(nShadow, 20);
        return false;
    });
    EXPECT_TRUE(bChecked);
    EXPECT_EQ(setup.m_strFinal, NOT_FINISHED);
    EXPECT_EQ(setup.Wait(5000), 1602u);  // the user quit
}

// The command line at the screen: /D= and /GROUP= preset the wizard's
// fields; a line Setup.exe cannot take is shown, and ends it with 87.
TEST_F(SetupExe, TheCommandLineAtTheScreen)
{
    const struct {
        const char* what;
        const char* pszArgs;
        std::string strDestText, strFolderText;  // the wizard's fields, when it shows
        Lines boxes;
        DWORD dwExit;
    } rows[] = {
        {"presets, then the user quits", "/D=\"C:\\Vantler Preset\" -group=\"Vantler Preset\"", "\\Vantler Preset",
         "Vantler Preset",
         {"The destination directory C:\\Vantler Preset does not exist. Do you want to create it ?", QUIT,
          NOT_FINISHED},
         1602},
        {"an unknown switch", "/X", "", "",
         {"The option \"/X\" is not known.\r\n\r\nSetup [/S] [/D=directory] [/GROUP=name] [/LOG=file]"}, 87},
        {"a destination on no drive Setup offers", "/D=A:\\Vantler", "", "",
         {"The destination directory \"A:\\Vantler\" is not on a drive Setup can install on.\r\n\r\n"
          "Setup [/S] [/D=directory] [/GROUP=name] [/LOG=file]",
          NOT_FINISHED},
         87},
    };
    for (const auto& row : rows) {
        m_pRun.reset();
        CSetupRun& setup = Start(false, std::string(), row.pszArgs);
        std::string strDestText, strFolderText;
        setup.Run([&](const SetupWindow& window) {
            if (window.kind == SetupWindow::WIZARD && window.nPage == 1 && strDestText.empty())
                strDestText = gui::ItemText(gui::CurrentPage(window.hwnd), IDC_DEST_DIR);
            if (window.kind != SetupWindow::WIZARD || window.nPage != 2)
                return false;
            strFolderText = gui::ItemText(gui::CurrentPage(window.hwnd), IDC_FOLDER_NAME);
            gui::Press(window.hwnd, IDCANCEL);
            gui::WaitUntil([&] { return setup.Window("Setup") != nullptr; });
            return true;
        });
        EXPECT_EQ(strDestText, row.strDestText) << row.what;
        EXPECT_EQ(strFolderText, row.strFolderText) << row.what;
        EXPECT_EQ(setup.m_astrBoxes, row.boxes) << row.what;
        EXPECT_EQ(setup.Wait(5000), row.dwExit) << row.what;
    }
}

// The events of a log: each line without its time stamp, which every line
// must begin with.
Lines LogEvents(const std::string& strLog)
{
    static const std::regex kStamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  )");
    Lines events;
    std::istringstream lines(Read(strLog));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::smatch stamp;
        if (!std::regex_search(line, stamp, kStamp, std::regex_constants::match_continuous))
            events.push_back("(no time stamp) " + line);
        else
            events.push_back(stamp.suffix());
    }
    return events;
}

// Whether an event is in the log: events are matched whole, or by their start
// when the expected text ends in "...".
bool Logged(const Lines& events, const std::string& strEvent)
{
    const bool bStart = strEvent.size() > 3 && strEvent.compare(strEvent.size() - 3, 3, "...") == 0;
    const std::string strText = bStart ? strEvent.substr(0, strEvent.size() - 3) : strEvent;
    for (const std::string& event : events) {
        if (bStart ? event.compare(0, strText.size(), strText) == 0 : event == strText)
            return true;
    }
    return false;
}

// A shell link's target and working directory, read by the shell.
std::string LinkOf(const std::string& strLink)
{
    std::string strResult = "(unreadable)";
    CoInitialize(nullptr);
    IShellLinkA* pLink = nullptr;
    IPersistFile* pFile = nullptr;
    WCHAR szLink[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, strLink.c_str(), -1, szLink, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&pLink))) &&
        SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))) &&
        SUCCEEDED(pFile->Load(szLink, STGM_READ))) {
        char szTarget[MAX_PATH] = "", szDir[MAX_PATH] = "";
        pLink->GetPath(szTarget, MAX_PATH, nullptr, 0);
        pLink->GetWorkingDirectory(szDir, MAX_PATH);
        strResult = std::string(szTarget) + " in " + szDir;
    }
    if (pFile)
        pFile->Release();
    if (pLink)
        pLink->Release();
    CoUninitialize();
    return strResult;
}

// The product's registry entries as they stand: the keys an install writes.
RegLines ProductEntries()
{
    const std::string strMachine = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\";
    RegLines lines;
    for (const std::string& strKey : {strMachine + "App Paths\\Tessel.exe", strMachine + "Uninstall\\Vantler",
                                      strMachine + "SharedDLLs", std::string("HKEY_CLASSES_ROOT\\.vtr"),
                                      std::string("HKEY_CLASSES_ROOT\\Tessel.Document")}) {
        const RegLines key = ExportRegistry(strKey, {{strMachine, ""}, {"HKEY_CLASSES_ROOT\\", "HKCR\\"}});
        lines.insert(key.begin(), key.end());
    }
    return lines;
}

constexpr size_t TITLE = static_cast<size_t>(-1);  // the product title's first byte

// A byte of the medium damaged under its checksum: the user is told which
// file on which disk, the install is refused or rolled back (1603) with the
// destination left without a file, and the log names the file as the box
// does; a medium without checksums (an older one) installs as before.
struct MediumDamage {
    const char* what;
    const char* file;   // of disk 1, "" for disk 2's Data.dat, nullptr: Setup.crc goes
    size_t offset;      // of the byte flipped, or TITLE
    const char* named;  // how the box names the file and its disks
    bool bDisk2First;   // the copy asks for disk 2 before it finds the damage
    bool bAtLoad;       // refused before the wizard
};

class DamagedMedium : public SetupExe, public ::testing::WithParamInterface<MediumDamage> {};

TEST_P(DamagedMedium, IsNamedAndInstallsNothing)
{
    const MediumDamage& row = GetParam();
    const std::string strDest = Destination("\\VantlerDamaged");
    const std::string strMedia = OwnMedium();
    if (row.file == nullptr) {
        DeleteFileA((strMedia + "\\disk1\\Setup.crc").c_str());
    } else {
        const std::string strFile = strMedia + (*row.file ? "\\disk1\\" + std::string(row.file) : "\\disk2\\Data.dat");
        FlipByte(strFile, row.offset == TITLE ? Read(strFile).find("Vantler") : row.offset);
    }
    const std::string strLog = m_temp.Path("setup.log");
    CSetupRun& setup = Start(false, strMedia, "/LOG=\"" + strLog + "\"");
    const std::string strFinal = setup.Run([&](const SetupWindow& window) {
        TypeDestination(window, "\\VantlerDamaged");
        return false;
    });
    const DWORD dwExit = setup.Wait(5000);
    const Lines events = LogEvents(strLog);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "Exit code " + std::to_string(dwExit));
    if (row.named == nullptr) {
        EXPECT_EQ(dwExit, 0u);
        EXPECT_EQ(strFinal, COMPLETED);
        for (const auto& file : SampleDestinationFiles()) {
            if (file.first.find("Form1.frm") == std::string::npos) {
                EXPECT_EQ(Read(strDest + "\\" + file.first), Read(StagePath(file.second))) << file.first;
            }
        }
        return;
    }
    const std::string strDamage = std::string(row.named) + " is damaged. The Setup will be cancelled.";
    std::vector<std::string> astrBoxes;
    if (!row.bAtLoad)
        astrBoxes.push_back("The destination directory " + strDest + " does not exist. Do you want to create it ?");
    if (row.bDisk2First)
        astrBoxes.push_back("Insert the disk 2 in " + m_strDrive.substr(0, 1) + ": !");
    astrBoxes.push_back(strDamage);
    if (!row.bAtLoad)
        astrBoxes.push_back(NOT_FINISHED);
    EXPECT_EQ(setup.m_astrBoxes, astrBoxes);
    EXPECT_EQ(strFinal, astrBoxes.back());
    EXPECT_EQ(dwExit, 1603u);
    const std::string strPhase = row.bAtLoad ? "Loading the install information" : "Copying files";
    for (const std::string& strEvent : {"Message: " + strDamage, strPhase + " failed: error 0xE000000A"})
        EXPECT_TRUE(Logged(events, strEvent)) << strEvent;
    for (const std::string& entry : ListTree(strDest))
        EXPECT_EQ(entry.back(), '\\') << entry << " was left in the destination";
}

INSTANTIATE_TEST_SUITE_P(
    UnderItsChecksums, DamagedMedium,
    ::testing::Values(MediumDamage{"Setup_dat", "Setup.dat", TITLE, "The file Setup.dat on disk 1", false, true},
                      MediumDamage{"first_file_on_disk_1", "Data.dat", 2 + 100, "The file Joust.vbp on disk 1", false,
                                   false},
                      MediumDamage{"file_across_disks_damaged_on_disk_2", "", 2 + 100,
                                   "The file Tessel.hlp on disks 1 and 2", true, false},
                      MediumDamage{"uninstaller", "_Uninst.ex_", 100, "The file _Uninst.ex_ on disk 1", false, false},
                      MediumDamage{"older_medium_without_checksums", nullptr, 0, nullptr, false, false}),
    [](const ::testing::TestParamInfo<MediumDamage>& info) { return std::string(info.param.what); });

// Setup.exe as deployment tools start it: /S, no one at the screen, and here
// no X display at all, so that no window could be shown if one were tried and
// Program Manager cannot answer. Each case also writes a log.
class Unattended : public SetupExe {
protected:
    static void SetUpTestSuite()
    {
        if (HaveDisplay())
            return;  // every case skips
        SetupExe::SetUpTestSuite();
        PackMedium(StagePath("directory.json"), s_pMedia->Path("directory"));
    }
    void SetUp() override
    {
        if (HaveDisplay())
            GTEST_SKIP() << "runs only without a display (its own CTest entry)";
    }

    // Runs strSetup with its arguments and the test's log, unless they name
    // one; the whole exit code.
    DWORD RunSetup(const std::string& strSetup, const std::string& strArgs)
    {
        CSetupRun run(strSetup, {});
        run.m_strArgs = strArgs;
        if (strArgs.find("/LOG=") == std::string::npos)
            run.m_strArgs += " /LOG=\"" + m_strLog + "\"";
        run.m_bVerbose = false;
        EXPECT_TRUE(run.Start());
        const DWORD dwExit = run.Wait(120000);
        m_events = LogEvents(m_strLog);
        return dwExit;
    }
    static std::string DirectorySetup() { return s_pMedia->Path("directory\\disk1\\Setup.exe"); }

    // The files that remain below a directory (its folders left out).
    static Lines FilesIn(const std::string& strDir)
    {
        Lines files;
        for (const std::string& entry : ListTree(strDir)) {
            if (entry.back() != '\\')
                files.push_back(entry);
        }
        return files;
    }

    const std::string m_strLog = m_temp.Path("setup.log");
    Lines m_events;
};

// Installed and then removed again as deployment tools do, by the quiet
// uninstall command of its Uninstall entry.
TEST_F(Unattended, InstallsAndRemovesTheDirectoryMediumWithNoDisplay)
{
    const std::string strDest = Destination("\\Vantler Silent");
    const std::string strGroup = CommonProgramsFolder() + "\\Vantler Silent";
    RemoveTree(strGroup);
    // No installation of the product is left by earlier cases, no program
    // uses the shared runtime yet; the SharedDLLs key is there, as on every
    // Windows machine.
    for (const char* pszKey : {"App Paths\\Tessel.exe", "Uninstall\\Vantler"})
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + pszKey).c_str());
    for (const char* pszKey : {".vtr", "Tessel.Document"})
        RegDeleteTreeA(HKEY_CLASSES_ROOT, pszKey);
    char szSystem[MAX_PATH];
    const std::string strRuntime = std::string(szSystem, GetSystemDirectoryA(szSystem, MAX_PATH)) + "\\VantlerRt.dll";
    const std::string strShared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    HKEY hShared;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, strShared.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hShared,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(hShared);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, strShared.c_str(), strRuntime.c_str());
    DeleteFileA(strRuntime.c_str());
    const RegLines before = ProductEntries();
    EXPECT_EQ(RunSetup(DirectorySetup(), "/S \"/D=" + strDest + "\" /group=\"Vantler Silent\""), 0u);

    for (const auto& file : SampleDestinationFiles()) {
        if (file.first.find("Form1.frm") == std::string::npos)
            EXPECT_EQ(Read(strDest + "\\" + file.first), Read(StagePath(file.second))) << file.first;
        else
            EXPECT_TRUE(Exists(strDest + "\\" + file.first)) << file.first;
    }
    EXPECT_TRUE(Exists(strDest + "\\Setup.inf"));

    // The entries, with the values of the Apps list that deployment tools read.
    const RegLines entries = ProductEntries();
    for (const std::string& line : {"App Paths\\Tessel.exe|@=" + strDest + "\\Tessel.exe",
                                    "App Paths\\Tessel.exe|Path=" + strDest,
                                    std::string("Uninstall\\Vantler|DisplayName=Vantler"),
                                    "Uninstall\\Vantler|UninstallString=\"" + strDest + "\\Uninst.exe\"",
                                    std::string("Uninstall\\Vantler|DisplayVersion=2.1.0.36"),
                                    "Uninstall\\Vantler|InstallLocation=" + strDest,
                                    "Uninstall\\Vantler|DisplayIcon=" + strDest + "\\Tessel.exe",
                                    "Uninstall\\Vantler|QuietUninstallString=\"" + strDest + "\\Uninst.exe\" /S",
                                    std::string("Uninstall\\Vantler|NoModify=dword:00000001"),
                                    std::string("Uninstall\\Vantler|NoRepair=dword:00000001")})
        EXPECT_EQ(entries.count(line), 1u) << line;
    // The size in KB holds at least every installed file.
    ULONGLONG qwInstalled = 0;
    for (const auto& file : SampleDestinationFiles())
        qwInstalled += Read(strDest + "\\" + file.first).size();
    const auto size = entries.lower_bound("Uninstall\\Vantler|EstimatedSize=dword:");
    ASSERT_TRUE(size != entries.end() && size->rfind("Uninstall\\Vantler|EstimatedSize=dword:", 0) == 0);
    EXPECT_GE(std::stoull(size->substr(size->find(':') + 1), nullptr, 16) * 1024, qwInstalled);

    // The group as shell links in the all-users Programs folder: Program
    // Manager cannot answer without a display.
    const struct {
        const char* pszCaption;
        const char* pszTarget;
    } links[] = {
        {"Tessel", "Tessel.exe"},
        {"Vantler ActiveX Help", "Vantler.hlp"},
        {"Tessel Help", "Tessel.hlp"},
        {"Joust - VB", "VB\\Joust\\Joust.vbp"},
        {"Q7 - VB", "VB\\Q7\\Q7.vbp"},
        {"Joust - Delphi", "Delphi\\Joust\\Joust.exe"},
        {"Q7 - Delphi", "Delphi\\Q7\\Q7.exe"},
    };
    Lines expectedLinks;
    for (const auto& link : links) {
        const std::string strTarget = strDest + "\\" + link.pszTarget;
        EXPECT_EQ(LinkOf(strGroup + "\\" + link.pszCaption + ".lnk"),
                  strTarget + " in " + strTarget.substr(0, strTarget.find_last_of('\\')))
            << link.pszCaption;
        expectedLinks.push_back(std::string(link.pszCaption) + ".lnk");
        EXPECT_TRUE(Logged(m_events, std::string("Group item ") + link.pszCaption + ": " + strTarget));
    }
    std::sort(expectedLinks.begin(), expectedLinks.end());
    EXPECT_EQ(ListTree(strGroup), expectedLinks);

    for (const std::string& event : {
             std::string("Setup 1.0.0.0 started: ..."),
             "Source directory: " + s_pMedia->Path("directory\\disk1"),
             std::string("Program Manager does not answer: the program group will be made of shell links"),
             "Destination directory: " + strDest + "; system directory: ...",
             "Created directory " + strDest,
             "Installed " + strDest + "\\Uninst.exe",
             "Created directory " + strDest + "\\VB\\Joust",
             "Installed " + strDest + "\\Tessel.exe, version 2.1.0.36",
             std::string("Registry value HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantler\\"
                         "DisplayVersion = \"2.1.0.36\", before: ..."),
             std::string("Registry value HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantler\\"
                         "NoRepair = 1, before: ..."),
             "Registered " + strDest + "\\Vantler.ocx",
             "Program group Vantler Silent, made of shell links in " + strGroup,
             std::string("Message: The Setup was completed successfully."),
         })
        EXPECT_TRUE(Logged(m_events, event)) << event;
    ASSERT_FALSE(m_events.empty());
    EXPECT_EQ(m_events.back(), "Exit code 0");

    // A switch of no one's, and a removal while another runs (this test
    // holds the uninstaller's mutex): each ends at once, nothing changed.
    const auto remove = [&](const std::string& strCommand) {
        DeleteFileA(m_strLog.c_str());
        CUninstallRun run(strCommand + " \"/LOG=" + m_strLog + "\"");
        run.m_bVerbose = false;
        EXPECT_TRUE(run.Start());
        EXPECT_EQ("", run.Run());
        const DWORD dwExit = run.Wait(10000);
        EXPECT_TRUE(run.WaitForCopy(10000)) << "the copy did not end";
        m_events = LogEvents(m_strLog);
        return dwExit;
    };
    const RegLines installed = ProductEntries();
    const std::string strUninst = "\"" + strDest + "\\Uninst.exe\"";
    EXPECT_EQ(remove(strUninst + " /S /Q"), 87u);
    EXPECT_TRUE(Logged(m_events, "Message: The option \"/Q\" is not known.  Uninst [/S] [/LOG=file]"));
    HANDLE hRunning = CreateMutexA(nullptr, TRUE, "Local\\VantlerUninstall");
    EXPECT_EQ(remove(strUninst + " /S"), 1618u);
    CloseHandle(hRunning);
    EXPECT_TRUE(Logged(m_events, "Message: Another removal is running. Try again when it has ended."));
    EXPECT_EQ(ProductEntries(), installed);
    EXPECT_TRUE(Exists(strDest + "\\Setup.inf"));

    // The machine as before, but for the shared runtime: no program is
    // counted as using it now, and unattended it stays, counted once.
    const auto quiet = installed.find("Uninstall\\Vantler|QuietUninstallString=" + strUninst + " /S");
    ASSERT_TRUE(quiet != installed.end());
    EXPECT_EQ(remove(quiet->substr(quiet->find('=') + 1)), 0u);
    RegLines expected = before;
    expected.insert("SharedDLLs|" + strRuntime + "=dword:00000001");
    EXPECT_EQ(ProductEntries(), expected);
    EXPECT_TRUE(Exists(strRuntime));
    EXPECT_FALSE(Exists(strDest));
    EXPECT_FALSE(Exists(strGroup));
    EXPECT_TRUE(UninstallerCopies().empty());
    const std::string strUninstKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantler";
    for (const std::string& event : {
             "Uninstall 1.0.0.0 started: " + strUninst + " /S \"/LOG=" + m_strLog + "\"",
             std::string("Question: Do you want to remove Vantler and all of its components?"),
             std::string("Answer: Yes"),
             "Unregistered " + strDest + "\\Vantler.ocx",
             "Program group Vantler Silent: shell links Joust - VB, Q7 - VB, Joust - Delphi, Q7 - Delphi, Tessel, "
             "Vantler ActiveX Help, Tessel Help deleted from " + strGroup,
             std::string("Program group Vantler Silent removed"),
             "Question: remove the shared file " + strRuntime + ", counted as used by nobody?",
             std::string("Answer: none, nobody to ask: kept"),
             "Remains: " + strRuntime + ": kept, other programs may still need it",
             "Registry value " + strUninstKey + "\\QuietUninstallString removed, was \"" + strUninst + " /S\"",
             "Registry value " + strUninstKey + "\\NoRepair removed, was 1",
             "Registry key " + strUninstKey + " removed",
             std::string("Registry key HKCR\\Tessel.Document removed"),
             "Removed " + strDest + "\\VB\\Joust\\Joust.vbp",
             "Removed directory " + strDest + "\\VB\\Joust",
             "Removed " + strDest + "\\Setup.inf",
             "Message: Vantler was removed from your computer. These items remain:  " + strRuntime + ": kept, other programs may still need it",
             std::string("Exit code 0"),
             "Removed " + strDest + "\\Uninst.exe",
             "Removed directory " + strDest,
         })
        EXPECT_TRUE(Logged(m_events, event)) << event;
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, strShared.c_str(), strRuntime.c_str());
    DeleteFileA(strRuntime.c_str());
}

TEST_F(Unattended, InstallsAFloppySetFromItsDiskFolders)
{
    const std::string strDest = Destination("\\VantlerFloppySilent");
    const std::string strMedia = s_pMedia->Path("media");
    EXPECT_EQ(RunSetup(strMedia + "\\disk1\\Setup.exe", "-s -d=" + strDest), 0u);
    for (const auto& file : SampleDestinationFiles())
        EXPECT_TRUE(Exists(strDest + "\\" + file.first)) << file.first;
    for (int n = 2; Exists(strMedia + "\\disk" + std::to_string(n)); ++n) {
        const std::string strEvent =
            "Disk " + std::to_string(n) + ": " + strMedia + "\\disk" + std::to_string(n) + "\\Data.dat";
        EXPECT_TRUE(Logged(m_events, strEvent)) << strEvent;
    }
    EXPECT_EQ(m_events.back(), "Exit code 0");
    RemoveTree(CommonProgramsFolder() + "\\Vantler");
}

// Each exit code a deployment tool reads, with what the machine and the log
// show afterwards.
TEST_F(Unattended, EndsWithTheExitCodeThatSaysWhatHappened)
{
    const std::string strMedia = s_pMedia->Path("media");
    const auto directoryMedium = [](const std::string&) { return DirectorySetup(); };
    // Another setup of the product runs while it holds the product's mutex.
    HANDLE hRunning = nullptr;
    const struct {
        const char* what;
        const char* pszDest;  // below C:
        // Sets the machine up; the Setup.exe to run.
        std::function<std::string(const std::string& strDest)> prepare;
        std::string strArgs;  // after /S /D=dest
        DWORD dwExit;
        Lines events;  // expected in the log
        Lines files;   // the files left below the destination
    } rows[] = {
        {"a foreign application in the destination", "\\VantlerForeign",
         [&](const std::string& strDest) {
             Place(strDest + "\\Uninst.exe", "another setup's uninstaller");
             return DirectorySetup();
         },
         "", 1603,
         {"Question: There is already another application in the destination directory  C:\\VantlerForeign. "
          "Would you like to proceed ?",
          "Answer: No"},
         {"Uninst.exe"}},
        {"a switch of no one's", "\\VantlerBadSwitch", directoryMedium, "/Q", 87,
         {"Message: The option \"/Q\" is not known.  Setup [/S] [/D=directory] [/GROUP=name] [/LOG=file]"}, {}},
        {"a log that cannot be made (no log at all)", "\\VantlerNoLog", directoryMedium,
         "/LOG=C:\\VantlerNoSuchFolder\\setup.log", 87, {}, {}},
        {"another setup of the product running", "\\VantlerSecondCopy",
         [&](const std::string&) {
             const std::string strMutex = FormatText("Global\\Vantler Setup %08lX", VANTLER_PRODUCT_ID);
             hRunning = CreateMutexA(nullptr, FALSE, strMutex.c_str());
             return DirectorySetup();
         },
         "", 1618, {"Another setup of this product is running."}, {}},
        {"a file in use (held by this test)", "\\VantlerInUse",
         [&](const std::string& strDest) {
             Place(strDest + "\\Tessel.hlp", "an older help file");
             return DirectorySetup();
         },
         "", 1603,
         {"Message: Can't access to the file C:\\VantlerInUse\\Tessel.hlp. It is used by Windows. "
          "Close all Windows-applications and restart the Setup.",
          "Failed C:\\VantlerInUse\\Tessel.hlp: error ..."},
         {"Tessel.hlp"}},
        {"a missing disk", "\\VantlerNoDisk2",
         [&](const std::string&) {
             // The floppy set's first disk alone, in a folder with no disk2 beside it.
             CreateDirectoryA(m_strDrive.c_str(), nullptr);
             for (const std::string& name : ListTree(strMedia + "\\disk1"))
                 CopyFileA((strMedia + "\\disk1\\" + name).c_str(), (m_strDrive + "\\" + name).c_str(), FALSE);
             return m_strDrive + "\\Setup.exe";
         },
         "", 1603,
         {"Disk 2 is missing: it is neither " + m_strDrive + "\\Data.dat nor " + m_temp.Path("disk2\\Data.dat"),
          "Question: Insert the disk 2 in " + m_strDrive.substr(0, 1) + ": !",
          "Answer: Cancel, nobody is there to insert the disk", "Copying files failed: error 0xE0000001"},
         {}},
        {"a damaged byte on disk 2 of the floppy set in its folders", "\\VantlerDamaged",
         [&](const std::string&) {
             const std::string strOwn = OwnMedium();
             FlipByte(strOwn + "\\disk2\\Data.dat", 2 + 100);
             return strOwn + "\\disk1\\Setup.exe";
         },
         "", 1603,
         {"Message: The file Tessel.hlp on disks 1 and 2 is damaged. The Setup will be cancelled.",
          "Copying files failed: error 0xE000000A"},
         {}},
    };
    for (const auto& row : rows) {
        const std::string strDest = Destination(row.pszDest);
        DeleteFileA(m_strLog.c_str());
        const std::string strSetup = row.prepare(strDest);
        const RegLines before = ProductEntries();
        std::unique_ptr<HeldFile> pHeld;
        if (Exists(strDest + "\\Tessel.hlp"))
            pHeld = std::make_unique<HeldFile>(strDest + "\\Tessel.hlp");
        EXPECT_EQ(RunSetup(strSetup, "/S /D=" + strDest + (row.strArgs.empty() ? "" : " " + row.strArgs)), row.dwExit)
            << row.what;
        pHeld.reset();
        if (hRunning != nullptr)
            CloseHandle(hRunning);
        hRunning = nullptr;
        for (const std::string& event : row.events)
            EXPECT_TRUE(Logged(m_events, event)) << row.what << ": " << event;
        if (row.strArgs.find("/LOG=") == std::string::npos)
            EXPECT_TRUE(!m_events.empty() && m_events.back() == "Exit code " + std::to_string(row.dwExit)) << row.what;
        else
            EXPECT_FALSE(Exists("C:\\VantlerNoSuchFolder")) << row.what;
        // Rolled back, or refused before any change: only what was there stays.
        EXPECT_EQ(FilesIn(strDest), row.files) << row.what;
        EXPECT_EQ(ProductEntries(), before) << row.what;
    }
}

}  // namespace
