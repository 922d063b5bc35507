// The wizard pages' decisions without windows: the engine and the page's
// window are fakes, and every message box is scripted and recorded.
#include <gtest/gtest.h>

#include <deque>

#include "framework/message_box.h"
#include "res/resource.h"
#include "tests/wizard/fake_page_view.h"
#include "tests/wizard/fake_wizard_engine.h"
#include "wizard/dest_page_logic.h"
#include "wizard/folder_page_logic.h"
#include "wizard/info_page_logic.h"

namespace {

struct Asked {
    std::string strText;
    UINT nStyle;
};

class ScriptedBoxes : public IMessageBoxPresenter {
public:
    int Show(const char*, const std::string& strText, UINT nStyle) override
    {
        m_asked.push_back({strText, nStyle});
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected box: " << strText;
            return IDCANCEL;
        }
        const int nAnswer = m_answers.front();
        m_answers.pop_front();
        return nAnswer;
    }
    std::deque<int> m_answers;
    std::vector<Asked> m_asked;
};

class PageLogicTest : public ::testing::Test {
protected:
    void SetUp() override { m_pPrevious = SetMessageBoxPresenter(&m_boxes); }
    void TearDown() override
    {
        SetMessageBoxPresenter(m_pPrevious);
        EXPECT_TRUE(m_boxes.m_answers.empty()) << "a scripted answer was not asked for";
    }

    FakeWizardEngine m_engine;
    FakePageView m_view;
    ScriptedBoxes m_boxes;
    IMessageBoxPresenter* m_pPrevious = nullptr;
};

// ---- the information page and the shared quit question ----

TEST_F(PageLogicTest, InfoPageShowsTheTextOrNothingAndOffersNextOnly)
{
    CInfoPageLogic page(m_engine, m_view);
    page.OnInitDialog();
    page.OnSetActive();
    EXPECT_EQ(m_view.GetItemText(IDC_INFO_TEXT), m_engine.m_strInfoText);
    EXPECT_EQ(m_view.m_dwButtons, static_cast<DWORD>(WIZB_NEXT));

    m_engine.m_bHasInfoText = false;
    page.OnInitDialog();
    EXPECT_EQ(m_view.GetItemText(IDC_INFO_TEXT), "");
}

TEST_F(PageLogicTest, QuittingNeedsAYes)
{
    CInfoPageLogic page(m_engine, m_view);
    m_boxes.m_answers = {IDNO, IDYES};
    EXPECT_FALSE(page.OnQueryCancel());
    EXPECT_TRUE(page.OnQueryCancel());
    ASSERT_EQ(m_boxes.m_asked.size(), 2u);
    EXPECT_EQ(m_boxes.m_asked[0].strText, "Do you really want to quit Setup ?");
    EXPECT_EQ(m_boxes.m_asked[0].nStyle, 292u);
}

// ---- the destination page ----

class DestPageTest : public PageLogicTest {
protected:
    void SetUp() override
    {
        PageLogicTest::SetUp();
        m_view.m_onEditChange = [this](int nId) {
            if (nId == IDC_DEST_DIR && m_bReady)
                m_page.CheckPathText();
        };
    }
    void Open()
    {
        ASSERT_TRUE(m_page.OnInitDialog());
        m_bReady = true;
    }
    void Type(const std::string& strText) { m_view.SetItemText(IDC_DEST_DIR, strText); }
    void ChooseDrive(int nIndex)
    {
        m_view.SelectItem(IDC_DEST_DRIVES, nIndex);
        m_page.OnDriveChange();
    }

    CDestPageLogic m_page{m_engine, m_view};
    bool m_bReady = false;
};

TEST_F(DestPageTest, SetUpListsDrivesInEngineOrderAndShowsTheSizes)
{
    m_engine.m_strDrives = "DCZ";  // engine order, not sorted
    m_engine.m_adwFree = {1572864};
    m_engine.m_dwDestBytes = 0;
    Open();
    EXPECT_EQ(m_view.m_items[IDC_DEST_DRIVES], (std::vector<std::string>{"D:", "C:", "Z:"}));
    EXPECT_EQ(m_view.GetSelectedItem(IDC_DEST_DRIVES), 0);
    EXPECT_EQ(m_view.GetItemText(IDC_DEST_DIR), "\\Vantler");
    EXPECT_EQ(m_view.GetItemText(IDC_DEST_DRIVE_LETTER), "D:");
    EXPECT_EQ(m_view.GetItemText(IDC_FREE_LABEL), "Drive D:");
    EXPECT_EQ(m_view.GetItemText(IDC_FREE_SPACE), "1.5 MB");
    EXPECT_EQ(m_view.GetItemText(IDC_DEST_NEEDED), "0.0 MB");
    EXPECT_EQ(m_view.GetItemText(IDC_SYS_NEEDED), "3.7 MB");
    EXPECT_EQ(m_view.m_dwButtons, static_cast<DWORD>(WIZB_BACK | WIZB_NEXT));
}

TEST_F(DestPageTest, PathTextDecidesWhetherNextIsOffered)
{
    Open();
    struct Row {
        std::string strText;
        DWORD dwButtons;
        std::string strComposed;
    } rows[] = {
        {"\\Program Files\\Vantler", WIZB_BACK | WIZB_NEXT, "C:\\Program Files\\Vantler"},
        {"  \t\\Vantler \r\n", WIZB_BACK | WIZB_NEXT, "C:\\Vantler"},
        {"   ", WIZB_BACK | WIZB_NEXT, "C:"},  // the drive's root
        {"\\Van*tler", WIZB_BACK, "C:\\Van*tler"},
        // The longest path that can be probed and created: 247 characters.
        {"\\" + std::string(244, 'a'), WIZB_BACK | WIZB_NEXT, "C:\\" + std::string(244, 'a')},
        {"\\" + std::string(245, 'a'), WIZB_BACK, "C:\\" + std::string(245, 'a')},
    };
    for (const Row& row : rows) {
        Type(row.strText);
        EXPECT_EQ(m_view.m_dwButtons, row.dwButtons) << row.strText;
        EXPECT_EQ(m_page.GetComposedPath(), row.strComposed);
    }
}

TEST_F(DestPageTest, EachQuestionWithItsStyleAndTheEffectOfItsAnswer)
{
    const std::string SPACE =
        "There is'nt likely enough free disk-space on your hard-disk.\r\nDo you want to proceed Setup ?";
    const std::string OTHER_APP =
        "There is already another application in the destination directory \r\nC:\\Vantler.\r\nWould you like to proceed ?";
    const std::string MISSING = "The destination directory C:\\Vantler does not exist. Do you want to create it ?";
    struct Row {
        BOOL bEnoughSpace;
        BOOL bDestinationFree;
        DWORD dwProbe;
        std::deque<int> answers;
        BOOL bLeaves;
        std::vector<std::pair<std::string, UINT>> asked;
    } rows[] = {
        {TRUE, TRUE, 0, {}, TRUE, {}},
        {FALSE, TRUE, 0, {IDNO}, FALSE, {{SPACE, 308}}},
        {FALSE, TRUE, 0, {IDYES}, TRUE, {{SPACE, 308}}},
        {TRUE, FALSE, 0, {IDNO}, FALSE, {{OTHER_APP, 308}}},
        {TRUE, FALSE, 0, {IDYES}, TRUE, {{OTHER_APP, 308}}},
        {TRUE, TRUE, ERROR_PATH_NOT_FOUND, {IDNO}, FALSE, {{MISSING, 36}}},
        {FALSE, TRUE, ERROR_PATH_NOT_FOUND, {IDYES, IDYES}, TRUE, {{SPACE, 308}, {MISSING, 36}}},
        {TRUE, TRUE, ERROR_ACCESS_DENIED, {IDOK}, FALSE, {{"Error by accessing Directory \r\nC:\\Vantler .", 16}}},
    };
    for (const Row& row : rows) {
        FakeWizardEngine engine;
        FakePageView view;
        engine.m_bEnoughSpace = row.bEnoughSpace;
        engine.m_bDestinationFree = row.bDestinationFree;
        engine.m_dwProbe = row.dwProbe;
        CDestPageLogic page(engine, view);
        ASSERT_TRUE(page.OnInitDialog());
        m_boxes.m_asked.clear();
        m_boxes.m_answers = row.answers;
        EXPECT_EQ(page.ValidateDestination(), row.bLeaves) << row.asked.size();
        ASSERT_EQ(m_boxes.m_asked.size(), row.asked.size());
        for (size_t i = 0; i < row.asked.size(); ++i) {
            EXPECT_EQ(m_boxes.m_asked[i].strText, row.asked[i].first);
            EXPECT_EQ(m_boxes.m_asked[i].nStyle, row.asked[i].second);
        }
        EXPECT_EQ(engine.m_strStoredDir, row.bLeaves ? "C:\\Vantler" : "");
    }
}

TEST_F(DestPageTest, ConfirmationsLastUntilTheirTextOrDriveChanges)
{
    m_engine.m_bEnoughSpace = FALSE;
    m_engine.m_dwProbe = ERROR_PATH_NOT_FOUND;
    Open();
    m_boxes.m_answers = {IDYES, IDYES};
    EXPECT_TRUE(m_page.ValidateDestination());
    // Left and entered again without a change: no question.
    m_page.OnSetActive();
    EXPECT_TRUE(m_page.ValidateDestination());
    // A new text asks about the directory again, not about the space.
    Type("\\Other");
    m_boxes.m_answers = {IDYES};
    EXPECT_TRUE(m_page.ValidateDestination());
    EXPECT_EQ(m_boxes.m_asked.back().nStyle, 36u);
    // A new drive asks both again.
    ChooseDrive(1);
    m_boxes.m_answers = {IDYES, IDNO};
    EXPECT_FALSE(m_page.ValidateDestination());
    EXPECT_EQ(m_boxes.m_asked.size(), 5u);
    EXPECT_EQ(m_engine.m_strStoredDir, "C:\\Other");
}

TEST_F(DestPageTest, AnExistingDirectoryIsExaminedEveryTime)
{
    m_engine.m_bDestinationFree = FALSE;
    Open();
    m_boxes.m_answers = {IDYES};
    EXPECT_TRUE(m_page.ValidateDestination());
    EXPECT_TRUE(m_page.ValidateDestination());
    EXPECT_EQ(m_engine.m_astrChecked, (std::vector<std::string>{"C:\\Vantler", "C:\\Vantler"}));
}

TEST_F(DestPageTest, UnreadableDriveRetriesThenReturnsToThePreviousDrive)
{
    Open();
    m_engine.m_unreadableDrives = {1};
    m_boxes.m_answers = {IDRETRY, IDCANCEL};
    ChooseDrive(1);
    ASSERT_EQ(m_boxes.m_asked.size(), 2u);
    EXPECT_EQ(m_boxes.m_asked[0].strText, "Error by accessing Drive D:");
    EXPECT_EQ(m_boxes.m_asked[0].nStyle, 21u);
    EXPECT_EQ(m_engine.m_nDrive, 0);
    EXPECT_EQ(m_view.GetSelectedItem(IDC_DEST_DRIVES), 0);
    EXPECT_EQ(m_view.GetItemText(IDC_FREE_LABEL), "Drive C:");
    EXPECT_EQ(m_view.m_nEnded, 0);
}

TEST_F(DestPageTest, NoReadableDriveEndsTheWizardWithoutTheQuitQuestion)
{
    m_engine.m_unreadableDrives = {0, 1};
    m_engine.m_nDrive = 1;
    m_boxes.m_answers = {IDCANCEL, IDOK};
    EXPECT_FALSE(m_page.OnInitDialog());
    EXPECT_EQ(m_boxes.m_asked.back().strText, "An error has occurred. The Setup will be cancelled.");
    EXPECT_EQ(m_boxes.m_asked.back().nStyle, 16u);
    EXPECT_EQ(m_view.m_nEnded, 1);
}

TEST_F(DestPageTest, ChoosingTheCurrentDriveChangesNothing)
{
    m_engine.m_bEnoughSpace = FALSE;
    Open();
    m_boxes.m_answers = {IDYES};
    EXPECT_TRUE(m_page.ValidateDestination());
    ChooseDrive(0);
    EXPECT_TRUE(m_page.ValidateDestination());  // still accepted
    ChooseDrive(1);
    EXPECT_EQ(m_view.GetItemText(IDC_DEST_DRIVE_LETTER), "D:");
    EXPECT_EQ(m_view.GetItemText(IDC_FREE_SPACE), "50.0 MB");
}

// ---- the program folder page ----

class FolderPageTest : public PageLogicTest {
protected:
    void SetUp() override
    {
        PageLogicTest::SetUp();
        m_view.m_onEditChange = [this](int nId) {
            if (nId == IDC_FOLDER_NAME)
                m_page.CheckFolderName();
        };
    }
    CFolderPageLogic m_page{m_engine, m_view};
};

TEST_F(FolderPageTest, SetUpListsTheFoldersInEngineOrderAndPreselectsByName)
{
    m_engine.m_astrGroups = {"Zeta", "StartUp", "VANTLER"};
    m_page.OnInitDialog();
    EXPECT_EQ(m_view.m_items[IDC_FOLDERS], m_engine.m_astrGroups);
    EXPECT_EQ(m_view.GetSelectedItem(IDC_FOLDERS), 0);
    m_page.OnSetActive();
    EXPECT_EQ(m_view.GetSelectedItem(IDC_FOLDERS), 2);
    EXPECT_EQ(m_view.GetItemText(IDC_FOLDER_NAME), "Vantler");
    EXPECT_EQ(m_view.m_dwButtons, static_cast<DWORD>(WIZB_BACK | WIZB_FINISH));
}

TEST_F(FolderPageTest, NoFoldersLeavesTheListEmptyWithNothingSelected)
{
    m_engine.m_astrGroups.clear();
    m_page.OnInitDialog();
    m_page.OnSetActive();
    EXPECT_TRUE(m_view.m_items[IDC_FOLDERS].empty());
    EXPECT_EQ(m_view.GetSelectedItem(IDC_FOLDERS), -1);
    EXPECT_TRUE(m_page.m_bNameValid);
}

TEST_F(FolderPageTest, NameCheck)
{
    struct Row {
        const char* pszName;
        bool bValid;
    } rows[] = {
        {"Vantler", true}, {"My Tools 2", true}, {"  Vantler\t", true}, {"", false}, {" \t\r\n", false},
        {"a#b", false},    {"50%", false},       {"a;b", false},        {"a/b", false}, {"a\\b", false},
        {"Caf\xE9", true},
        // A group name is a folder's name below the Start Menu: none that
        // addresses another folder, and nothing that could not be sent.
        {".", false}, {"..", false}, {" .. ", false}, {"...", false}, {". .", false},
        {"Vantler, Inc.", true}, {".. Tools", true}, {"X)][DeleteGroup(StartUp)][CreateGroup(Y", true},
        {"a\"b", false}, {"a\tb", false}, {"C:Tools", false}, {"Tools*", false}, {"CONOUT$", false}, {"con", false},
    };
    // Program Manager takes a group name of up to 63 characters.
    const std::string strLongest(63, 'g');
    m_page.OnInitDialog();
    for (const Row& row : rows) {
        m_view.SetItemText(IDC_FOLDER_NAME, row.pszName);
        EXPECT_EQ(m_page.m_bNameValid != FALSE, row.bValid) << row.pszName;
        EXPECT_EQ(m_view.m_dwButtons, row.bValid ? WIZB_BACK | WIZB_FINISH : WIZB_DISABLEDFINISH) << row.pszName;
    }
    const std::pair<std::string, bool> lengths[] = {
        {strLongest, true}, {" " + strLongest + " \t", true}, {strLongest + "g", false}};
    for (const auto& [strName, bValid] : lengths) {
        m_view.SetItemText(IDC_FOLDER_NAME, strName);
        EXPECT_EQ(m_page.m_bNameValid != FALSE, bValid) << strName.size();
    }
}

TEST_F(FolderPageTest, ListChoiceCopiesTheEngineNameAndFinishStoresItTrimmed)
{
    m_page.OnInitDialog();
    m_view.SelectItem(IDC_FOLDERS, 1);
    m_page.OnFolderChosen();
    EXPECT_EQ(m_view.GetItemText(IDC_FOLDER_NAME), "StartUp");
    m_view.SetItemText(IDC_FOLDER_NAME, "  Vantler Tools \r\n");
    m_page.OnWizardFinish();
    EXPECT_EQ(m_engine.m_strProgramFolder, "Vantler Tools");
}

TEST(PageTexts, MegabytesWithOneDecimal)
{
    EXPECT_EQ(FormatMegabytes(0), "0.0 MB");
    EXPECT_EQ(FormatMegabytes(1572864), "1.5 MB");
    EXPECT_EQ(FormatMegabytes(0xFFFFFFFFu), "4096.0 MB");
}

}  // namespace
