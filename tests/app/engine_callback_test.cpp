// The engine callback's answers and what the user sees for each code.
#include <gtest/gtest.h>

#include "app/engine_callback.h"
#include "tests/app/recording_ui.h"

namespace {

const char* const QUIT_BOX = "box 292 Do you really want to quit Setup ?";

INT_PTR Arg(const std::string& str) { return reinterpret_cast<INT_PTR>(&str); }

class EngineCallbackTest : public ::testing::Test {
protected:
    RecordingRun run;
};

TEST_F(EngineCallbackTest, ProgressAndStatusCheckCancelFirst)
{
    const std::string strName = "C:\\Vantler\\Tessel.exe";
    EXPECT_EQ(EngineCallback(SETUPCB_PROGRESS, 42, 0), 1);
    EXPECT_EQ(EngineCallback(SETUPCB_STATUSTEXT, Arg(strName), 0), 1);
    EXPECT_EQ(run.log, EventLog({"progress.CheckCancel", "progress.Pos 42", "progress.CheckCancel",
                                 "progress.Text C:\\Vantler\\Tessel.exe"}));
}

TEST_F(EngineCallbackTest, ConfirmedQuitReturnsZeroWithoutShowing)
{
    const std::string strName = "a.dll";
    run.window.m_progress.m_nCancel = 1;
    run.boxes.m_answers = {IDYES};
    EXPECT_EQ(EngineCallback(SETUPCB_PROGRESS, 10, 0), 0);
    run.window.m_progress.m_nCancel = 1;
    run.boxes.m_answers = {IDYES};
    EXPECT_EQ(EngineCallback(SETUPCB_STATUSTEXT, Arg(strName), 0), 0);
    EXPECT_EQ(run.log, EventLog({"progress.CheckCancel", QUIT_BOX, "progress.CheckCancel", QUIT_BOX}));
}

TEST_F(EngineCallbackTest, DeclinedQuitReactivatesTheDialogAndGoesOn)
{
    const std::string strName = "b.dll";
    run.window.m_progress.m_nCancel = 1;
    run.boxes.m_answers = {IDNO};
    EXPECT_EQ(EngineCallback(SETUPCB_PROGRESS, 50, 0), 1);
    EXPECT_EQ(EngineCallback(SETUPCB_PROGRESS, 60, 0), 1);  // the flag was cleared: no question
    run.window.m_progress.m_nCancel = 1;
    run.boxes.m_answers = {IDNO};
    EXPECT_EQ(EngineCallback(SETUPCB_STATUSTEXT, Arg(strName), 0), 1);
    EXPECT_EQ(run.log, EventLog({
        "progress.CheckCancel", QUIT_BOX, "progress.Activate", "progress.Pos 50",
        "progress.CheckCancel", "progress.Pos 60",
        "progress.CheckCancel", QUIT_BOX, "progress.Activate", "progress.Text b.dll",
    }));
}

TEST_F(EngineCallbackTest, DiskPromptCountsFromOneAndTakesTheLetterFromTheLowByte)
{
    const struct {
        INT_PTR nIndex;
        INT_PTR nLetter;
        const char* pszText;
    } rows[] = {
        {0, 'A', "box 33 Insert the disk 1 in A: !"},
        {0x30002, 'B', "box 33 Insert the disk 3 in B: !"},
        {0xFFFF, 0x1244, "box 33 Insert the disk 65536 in D: !"},
        {-1, 'A' | ~INT_PTR(0xFF), "box 33 Insert the disk 65536 in A: !"},
        {1, 0x100, "box 33 Insert the disk 2 in ?: !"},  // a zero letter must not cut the text
    };
    for (const auto& row : rows) {
        run.log.clear();
        run.boxes.m_answers = {IDOK};
        EXPECT_EQ(EngineCallback(SETUPCB_INSERTDISK, row.nIndex, row.nLetter), 1);
        EXPECT_EQ(run.log, EventLog({row.pszText})) << row.nIndex;
    }
}

TEST_F(EngineCallbackTest, DiskPromptCancelAsksWhetherToQuit)
{
    run.boxes.m_answers = {IDCANCEL, IDYES};
    EXPECT_EQ(EngineCallback(SETUPCB_INSERTDISK, 1, 'A'), 0);
    run.boxes.m_answers = {IDCANCEL, IDNO};
    EXPECT_EQ(EngineCallback(SETUPCB_INSERTDISK, 1, 'A'), 1);
    EXPECT_EQ(run.log, EventLog({"box 33 Insert the disk 2 in A: !", QUIT_BOX,
                                 "box 33 Insert the disk 2 in A: !", QUIT_BOX}));
}

TEST_F(EngineCallbackTest, DiskPromptThatCannotBeShownQuits)
{
    run.boxes.m_answers = {0, 0};
    EXPECT_EQ(EngineCallback(SETUPCB_INSERTDISK, 0, 'A'), 0);
}

TEST_F(EngineCallbackTest, ReadOnlyDialogAnswersAreTheCallbacksAnswers)
{
    const std::string strName = "C:\\Vantler\\Vantler.hlp";
    const std::string strOpen =
        "readonly.Open [Setup has detected the Read-Only-File\r\nC:\\Vantler\\Vantler.hlp.\r\n"
        "Overwrite this file ?] check 0";
    const struct {
        std::deque<DialogAction> actions;
        std::deque<int> answers;
        int nResult;
        EventLog log;
    } rows[] = {
        {{{DialogAction::PRESS, IDOK}}, {}, 1, {strOpen, "readonly.End 1"}},
        {{{DialogAction::PRESS, IDNO}}, {}, 2, {strOpen, "readonly.End 2"}},
        {{{DialogAction::PRESS, IDCANCEL}}, {IDYES}, 3, {strOpen, "box 36 Do you really want to quit Setup ?",
                                                         "readonly.End 3"}},
        // Cancel declined keeps the dialog open; an unknown command does nothing.
        {{{DialogAction::PRESS, IDCANCEL}, {DialogAction::PRESS, 1033}, {DialogAction::PRESS, IDOK}},
         {IDNO}, 1, {strOpen, "box 36 Do you really want to quit Setup ?", "readonly.End 1"}},
    };
    for (const auto& row : rows) {
        RecordingRun one;
        one.window.m_readOnly.m_actions = row.actions;
        one.boxes.m_answers = row.answers;
        EXPECT_EQ(EngineCallback(SETUPCB_READONLY, Arg(strName), 0), row.nResult);
        EXPECT_EQ(one.log, row.log);
        EXPECT_EQ(one.window.m_readOnly.m_nDontShowAgain, 0);
    }
}

TEST_F(EngineCallbackTest, DontShowAgainTickedWithNoKeepsThisFileAndOverwritesTheRest)
{
    const std::string strFirst = "first.dll";
    const std::string strSecond = "second.dll";
    run.window.m_readOnly.m_actions = {{DialogAction::CLICK_CHECKBOX, 1}, {DialogAction::PRESS, IDNO}};
    EXPECT_EQ(EngineCallback(SETUPCB_READONLY, Arg(strFirst), 0), 2);
    EXPECT_EQ(EngineCallback(SETUPCB_READONLY, Arg(strSecond), 0), 1);
    EXPECT_EQ(EngineCallback(SETUPCB_READONLY, Arg(strSecond), 0), 1);
    ASSERT_EQ(run.log.size(), 2u);  // the dialog opened once
    EXPECT_EQ(run.log[1], "readonly.End 2");
}

TEST_F(EngineCallbackTest, CheckBoxSurvivesADeclinedCancelAndCanBeUnticked)
{
    const std::string strName = "x.ocx";
    run.window.m_readOnly.m_actions = {{DialogAction::CLICK_CHECKBOX, 1}, {DialogAction::PRESS, IDCANCEL},
                                       {DialogAction::CLICK_CHECKBOX, 0}, {DialogAction::CLICK_CHECKBOX, 1},
                                       {DialogAction::PRESS, IDOK}};
    run.boxes.m_answers = {IDNO};
    EXPECT_EQ(EngineCallback(SETUPCB_READONLY, Arg(strName), 0), 1);
    EXPECT_EQ(run.window.m_readOnly.m_nDontShowAgain, 1);

    RecordingRun untick;
    untick.window.m_readOnly.m_actions = {{DialogAction::CLICK_CHECKBOX, 1}, {DialogAction::CLICK_CHECKBOX, 0},
                                          {DialogAction::PRESS, IDOK}};
    EXPECT_EQ(EngineCallback(SETUPCB_READONLY, Arg(strName), 0), 1);
    EXPECT_EQ(untick.window.m_readOnly.m_nDontShowAgain, 0);
}

TEST_F(EngineCallbackTest, ErrorKindsShowTheirTextWithTheStopIcon)
{
    const std::string strFile = "C:\\WINDOWS\\SYSTEM\\Vantler.ocx";
    const std::string strDir = "D:\\Vantler";
    const struct {
        INT_PTR nKind;
        INT_PTR param2;
        const char* pszText;
    } rows[] = {
        {SETUPERR_GENERAL, 0, "An error has occurred. The Setup will be cancelled."},
        {SETUPERR_FILEINUSE, Arg(strFile), "Can't access to the file C:\\WINDOWS\\SYSTEM\\Vantler.ocx.\r\n"
                                           "It is used by Windows.\r\nClose all Windows-applications and "
                                           "restart the Setup."},
        {SETUPERR_DISKFULL, 'C', "There is not enough disk-space on drive C: The Setup will be cancelled."},
        {SETUPERR_DISKFULL, 0, "There is not enough disk-space on drive ?: The Setup will be cancelled."},
        {SETUPERR_CREATEDIR, Arg(strDir), "Can't create the directory D:\\Vantler. Setup will be cancelled."},
        {SETUPERR_DLLREGISTER, 0, "There has occurred an error during DLL-registration."},
    };
    for (const auto& row : rows) {
        run.log.clear();
        EXPECT_EQ(EngineCallback(SETUPCB_ERROR, row.nKind, row.param2), 1);
        EXPECT_EQ(run.log, EventLog({std::string("box 16 ") + row.pszText}));
    }
}

TEST_F(EngineCallbackTest, UnknownCodesAndKindsShowNothingAndAnswerOne)
{
    for (INT_PTR nKind : {1, 2, 3, 4, 9, -1})
        EXPECT_EQ(EngineCallback(SETUPCB_ERROR, nKind, 0), 1);
    for (int nCode : {3, 6, 100, -1})
        EXPECT_EQ(EngineCallback(nCode, 1, 1), 1);
    EXPECT_TRUE(run.log.empty());
}

TEST_F(EngineCallbackTest, LongNamesShowInFull)
{
    const std::string strName = "C:\\" + std::string(293, 'n') + ".dll";
    ASSERT_EQ(strName.size(), 300u);
    run.window.m_readOnly.m_actions = {{DialogAction::PRESS, IDOK}};
    EngineCallback(SETUPCB_READONLY, Arg(strName), 0);
    EngineCallback(SETUPCB_ERROR, SETUPERR_FILEINUSE, Arg(strName));
    EngineCallback(SETUPCB_ERROR, SETUPERR_CREATEDIR, Arg(strName));
    EngineCallback(SETUPCB_STATUSTEXT, Arg(strName), 0);
    ASSERT_EQ(run.log.size(), 6u);
    EXPECT_EQ(run.log[0], "readonly.Open [Setup has detected the Read-Only-File\r\n" + strName +
                              ".\r\nOverwrite this file ?] check 0");
    EXPECT_EQ(run.log[2], "box 16 Can't access to the file " + strName +
                              ".\r\nIt is used by Windows.\r\nClose all Windows-applications and restart the Setup.");
    EXPECT_EQ(run.log[3], "box 16 Can't create the directory " + strName + ". Setup will be cancelled.");
    EXPECT_EQ(run.log[5], "progress.Text " + strName);
}

TEST_F(EngineCallbackTest, MissingNamesReadAsEmpty)
{
    run.window.m_readOnly.m_actions = {{DialogAction::PRESS, IDNO}};
    EXPECT_EQ(EngineCallback(SETUPCB_READONLY, 0, 0), 2);
    EXPECT_EQ(EngineCallback(SETUPCB_ERROR, SETUPERR_CREATEDIR, 0), 1);
    EXPECT_EQ(EngineCallback(SETUPCB_STATUSTEXT, 0, 0), 1);
    EXPECT_EQ(run.log[2], "box 16 Can't create the directory . Setup will be cancelled.");
    EXPECT_EQ(run.log.back(), "progress.Text ");
}

TEST_F(EngineCallbackTest, WithoutAMainWindowNothingIsAskedAndNothingOverwritten)
{
    SetMainSetupWindow(nullptr);
    const std::string strName = "a.dll";
    EXPECT_EQ(EngineCallback(SETUPCB_PROGRESS, 5, 0), 1);
    EXPECT_EQ(EngineCallback(SETUPCB_STATUSTEXT, Arg(strName), 0), 1);
    EXPECT_EQ(EngineCallback(SETUPCB_READONLY, Arg(strName), 0), 2);
    EXPECT_TRUE(run.log.empty());
}

}  // namespace
