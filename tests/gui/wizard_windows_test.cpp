// The wizard through its real windows: the sheet over a fake engine, worked
// by the driver as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"
#include "tests/gui/window_test_support.h"
#include "tests/wizard/fake_wizard_engine.h"
#include "wizard/my_property_sheet.h"

namespace {

const char* const QUIT = "Do you really want to quit Setup ?";
const int BACK = 0x3023, NEXT = 0x3024, FINISH = 0x3025;

class WizardWindows : public ::testing::Test {
protected:
    // Runs the wizard as the install sequence does, with drive() working it.
    INT_PTR Run(const std::function<void(HWND)>& drive)
    {
        CMyPropertySheet sheet(m_engine);
        sheet.m_psh.dwFlags &= ~PSH_HASHELP;
        return RunDriven([&] { return sheet.DoModal(); },
                         [&] {
                             HWND hwndSheet = WaitForSheet();
                             ASSERT_NE(hwndSheet, nullptr);
                             drive(hwndSheet);
                         });
    }

    // Presses a wizard button and waits until the page shown is nTemplate's.
    static HWND Go(HWND hwndSheet, int nButton, int nExpectedIndex)
    {
        gui::Press(hwndSheet, nButton);
        gui::WaitUntil([&] { return PageIndex(hwndSheet) == nExpectedIndex; }, 3000);
        return gui::CurrentPage(hwndSheet);
    }
    static int PageIndex(HWND hwndSheet)
    {
        return static_cast<int>(SendMessageA(hwndSheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(gui::CurrentPage(hwndSheet)), 0));
    }
    // Answers the next box, which must carry strText, and checks the style shown.
    void Expect(const std::string& strText, UINT nStyle, int nAnswer)
    {
        gui::Box box = gui::WaitForBox();
        ASSERT_TRUE(box) << "no box for: " << strText;
        EXPECT_EQ(box.strText, strText);
        EXPECT_EQ(m_boxes.StyleOf(strText), nStyle) << strText;
        gui::Answer(box, nAnswer);
    }
    static std::string ComboText(HWND hwndPage, int nIndex)
    {
        char szText[16] = "";
        SendDlgItemMessageA(hwndPage, IDC_DEST_DRIVES, CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(szText));
        return szText;
    }

    FakeWizardEngine m_engine;
    SpyMessageBoxes m_boxes;
};

TEST_F(WizardWindows, InformationPageAndTheQuitQuestion)
{
    const INT_PTR nResult = Run([&](HWND hwndSheet) {
        HWND hwndPage = gui::CurrentPage(hwndSheet);
        EXPECT_EQ(gui::Text(hwndSheet), "Welcome to Vantler");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_INFO_TEXT), m_engine.m_strInfoText);
        const LONG lEditStyle = gui::Style(hwndPage, IDC_INFO_TEXT);
        // (The system turns an edit's border into a sunken edge.)
        EXPECT_EQ(lEditStyle & (ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP),
                  ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL);
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 2u);
        EXPECT_FALSE(gui::IsItemVisible(hwndSheet, IDHELP));
        gui::SaveScreenshot(hwndSheet, ScreenshotPath("wizard-1-information"));

        gui::Press(hwndSheet, IDCANCEL);
        Expect(QUIT, 292, IDNO);
        EXPECT_TRUE(IsWindowVisible(hwndSheet));
        EXPECT_EQ(PageIndex(hwndSheet), 0);
        gui::Press(hwndSheet, IDCANCEL);
        Expect(QUIT, 292, IDYES);
    });
    EXPECT_EQ(nResult, IDCANCEL);
}

TEST_F(WizardWindows, DestinationPage)
{
    m_engine.m_strDrives = "DC";
    m_engine.m_adwFree = {1572864, 52428800};
    m_engine.m_dwProbe = ERROR_PATH_NOT_FOUND;
    const std::string MISSING = "The destination directory D:\\Vantler does not exist. Do you want to create it ?";
    const INT_PTR nResult = Run([&](HWND hwndSheet) {
        HWND hwndPage = Go(hwndSheet, NEXT, 1);
        EXPECT_EQ(gui::Text(hwndSheet), "Choose Destination Location");
        EXPECT_EQ(ComboText(hwndPage, 0), "D:");
        EXPECT_EQ(ComboText(hwndPage, 1), "C:");
        EXPECT_TRUE(gui::Style(hwndPage, IDC_DEST_DRIVES) & CBS_SORT);
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_DEST_DIR), "\\Vantler");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_DEST_DRIVE_LETTER), "D:");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_FREE_LABEL), "Drive D:");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_FREE_SPACE), "1.5 MB");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_DEST_NEEDED), "0.0 MB");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_SYS_NEEDED), "3.7 MB");
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 3u);
        gui::SaveScreenshot(hwndSheet, ScreenshotPath("wizard-2-destination"));

        gui::SetItemText(hwndPage, IDC_DEST_DIR, "\\Van*tler");
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 1u);
        gui::SetItemText(hwndPage, IDC_DEST_DIR, "\\Vantler");
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 3u);

        // No keeps the page; Yes leaves it and is remembered across Back and Next.
        gui::Press(hwndSheet, NEXT);
        Expect(MISSING, 36, IDNO);
        EXPECT_EQ(PageIndex(hwndSheet), 1);
        gui::Press(hwndSheet, NEXT);
        Expect(MISSING, 36, IDYES);
        gui::WaitUntil([&] { return PageIndex(hwndSheet) == 2; });
        EXPECT_EQ(m_engine.m_strStoredDir, "D:\\Vantler");
        Go(hwndSheet, BACK, 1);
        const size_t nAsked = m_boxes.Count();
        Go(hwndSheet, BACK, 0);
        Go(hwndSheet, NEXT, 1);
        EXPECT_EQ(m_boxes.Count(), nAsked) << "a confirmed question was asked again";

        // Back validates too: a changed text is asked about again.
        gui::SetItemText(hwndPage, IDC_DEST_DIR, "\\Other");
        gui::Press(hwndSheet, BACK);
        Expect("The destination directory D:\\Other does not exist. Do you want to create it ?", 36, IDNO);
        EXPECT_EQ(PageIndex(hwndSheet), 1);

        // A drive whose space cannot be read: Retry asks again, Cancel goes back.
        m_engine.m_unreadableDrives = {1};
        gui::Choose(hwndPage, IDC_DEST_DRIVES, 1);
        Expect("Error by accessing Drive C:", 21, IDRETRY);
        Expect("Error by accessing Drive C:", 21, IDCANCEL);
        gui::WaitUntil([&] { return SendDlgItemMessageA(hwndPage, IDC_DEST_DRIVES, CB_GETCURSEL, 0, 0) == 0; });
        EXPECT_EQ(SendDlgItemMessageA(hwndPage, IDC_DEST_DRIVES, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_FREE_LABEL), "Drive D:");

        // A readable one clears the confirmations and shows its texts.
        m_engine.m_unreadableDrives.clear();
        gui::SetItemText(hwndPage, IDC_DEST_DIR, "\\Vantler");
        gui::Choose(hwndPage, IDC_DEST_DRIVES, 1);
        gui::WaitUntil([&] { return gui::ItemText(hwndPage, IDC_FREE_LABEL) == "Drive C:"; });
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_DEST_DRIVE_LETTER), "C:");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_FREE_SPACE), "50.0 MB");
        gui::Press(hwndSheet, NEXT);
        Expect("The destination directory C:\\Vantler does not exist. Do you want to create it ?", 36, IDYES);
        gui::WaitUntil([&] { return PageIndex(hwndSheet) == 2; });
        EXPECT_EQ(m_engine.m_strStoredDir, "C:\\Vantler");
        EXPECT_EQ(m_engine.m_nDrive, 1);

        gui::Press(hwndSheet, IDCANCEL);
        Expect(QUIT, 292, IDYES);
    });
    EXPECT_EQ(nResult, IDCANCEL);
}

TEST_F(WizardWindows, ProgramFolderPage)
{
    m_engine.m_astrGroups = {"Administrative Tools", "StartUp", "VANTLER"};
    const INT_PTR nResult = Run([&](HWND hwndSheet) {
        Go(hwndSheet, NEXT, 1);
        HWND hwndPage = Go(hwndSheet, NEXT, 2);
        EXPECT_EQ(gui::Text(hwndSheet), "Select Program Folder");
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_FOLDER_NAME), "Vantler");
        EXPECT_EQ(SendDlgItemMessageA(hwndPage, IDC_FOLDERS, LB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(SendDlgItemMessageA(hwndPage, IDC_FOLDERS, LB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 5u);
        EXPECT_FALSE(gui::Style(hwndPage, IDC_FOLDERS) & LBS_SORT);
        gui::SaveScreenshot(hwndSheet, ScreenshotPath("wizard-3-program-folder"));

        gui::SetItemText(hwndPage, IDC_FOLDER_NAME, "a/b");
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 8u);
        gui::SetItemText(hwndPage, IDC_FOLDER_NAME, "   ");
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 8u);
        gui::SetItemText(hwndPage, IDC_FOLDER_NAME, "ab");
        EXPECT_EQ(gui::WizardButtons(hwndSheet), 5u);

        gui::Choose(hwndPage, IDC_FOLDERS, 1);
        gui::WaitUntil([&] { return gui::ItemText(hwndPage, IDC_FOLDER_NAME) == "StartUp"; });
        EXPECT_EQ(gui::ItemText(hwndPage, IDC_FOLDER_NAME), "StartUp");

        gui::SetItemText(hwndPage, IDC_FOLDER_NAME, "  Vantler Tools \t");
        PostMessageA(hwndSheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    });
    EXPECT_EQ(nResult, ID_WIZFINISH);
    EXPECT_EQ(m_engine.m_strProgramFolder, "Vantler Tools");
}

}  // namespace
