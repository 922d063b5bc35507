// Setup.exe itself, started as a user starts it and worked from outside
// through its real windows: the whole install of the sample floppy medium,
// Cancel in "Copying Files", the read-only question, a second copy, and the
// main window's picture. Screenshots are kept in "screenshots" below the
// test's folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <memory>

#include "app/gradient.h"
#include "app/setup_instance.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "res/resource.h"
#include "tests/engine/engine_support.h"
#include "tests/gui/setup_run.h"
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
    // at hand for the prompts; the sample medium unless another is named.
    CSetupRun& Start(bool bScreenshots = false, std::string strMedia = std::string())
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

// A byte of the medium damaged under its checksum: the user is told which
// file on which disk, the install is rolled back and the destination holds
// no file; a medium without checksums (an older one) installs as before.
constexpr size_t TITLE = static_cast<size_t>(-1);  // the product title's first byte

struct MediumDamage {
    const char* what;
    const char* file;  // of disk 1, "" for disk 2's Data.dat, nullptr: Setup.crc goes
    size_t offset;     // of the byte flipped, or TITLE
    std::vector<std::string> boxes;  // after the destination's question; the last is the final message
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
    CSetupRun& setup = Start(false, strMedia);
    const std::string strFinal = setup.Run([&](const SetupWindow& window) {
        TypeDestination(window, "\\VantlerDamaged");
        return false;
    });
    EXPECT_EQ(setup.Wait(5000), 0u);
    if (row.file == nullptr) {
        EXPECT_EQ(strFinal, COMPLETED);
        for (const auto& file : SampleDestinationFiles()) {
            if (file.first.find("Form1.frm") == std::string::npos) {
                EXPECT_EQ(Read(strDest + "\\" + file.first), Read(StagePath(file.second))) << file.first;
            }
        }
        return;
    }
    // The disk prompts name the drive Setup.exe started from.
    std::vector<std::string> astrBoxes;
    if (std::string(row.file) != "Setup.dat")
        astrBoxes.push_back("The destination directory " + strDest + " does not exist. Do you want to create it ?");
    for (std::string strBox : row.boxes) {
        if (strBox.rfind("Insert the disk", 0) == 0)
            strBox.replace(strBox.find("X:"), 1, m_strDrive.substr(0, 1));
        astrBoxes.push_back(strBox);
    }
    EXPECT_EQ(setup.m_astrBoxes, astrBoxes);
    EXPECT_EQ(strFinal, row.boxes.back());
    for (const std::string& entry : ListTree(strDest))
        EXPECT_EQ(entry.back(), '\\') << entry << " was left in the destination";
}

const char* const CANCELLED = " is damaged. The Setup will be cancelled.";

INSTANTIATE_TEST_SUITE_P(
    UnderItsChecksums, DamagedMedium,
    ::testing::Values(
        MediumDamage{"Setup_dat", "Setup.dat", TITLE, {std::string("The file Setup.dat on disk 1") + CANCELLED}},
        MediumDamage{"first_file_on_disk_1", "Data.dat", 2 + 100,
                     {std::string("The file Joust.vbp on disk 1") + CANCELLED, NOT_FINISHED}},
        MediumDamage{"file_across_disks_damaged_on_disk_2", "", 2 + 100,
                     {"Insert the disk 2 in X: !", std::string("The file Tessel.hlp on disks 1 and 2") + CANCELLED,
                      NOT_FINISHED}},
        MediumDamage{"uninstaller", "_Uninst.ex_", 100,
                     {std::string("The file _Uninst.ex_ on disk 1") + CANCELLED, NOT_FINISHED}},
        MediumDamage{"older_medium_without_checksums", nullptr, 0, {}}),
    [](const ::testing::TestParamInfo<MediumDamage>& info) { return std::string(info.param.what); });

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
        EXPECT_EQ(second.Wait(0), 0u);
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
}

}  // namespace
