// The install sequence run against a scripted engine: each outcome and each
// failure, checked as the whole order of engine calls, displays and boxes.
#include <gtest/gtest.h>

#include "app/engine_callback.h"
#include "app/install_sequence.h"
#include "tests/app/recording_ui.h"

namespace {

const char* const NOT_FINISHED = "The Setup was not finished completely.";
const char* const COMPLETED = "The Setup was completed successfully.";
const char* const GENERAL_ERROR = "An error has occurred. The Setup will be cancelled.";

EventLog Concat(EventLog a, const EventLog& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const EventLog UpToLoad = {
    "status.Create main",
    "status.Text Initializing Setup...",
    "status.Show 5",
    "main.SetWindowIcon 1",
    "main.SetWindowIcon 0",
    "engine.LoadInstallInfo",
};

const EventLog UpToWizard = Concat(UpToLoad, {
    "status.Destroy",
    "main.SetCaption [Vantler Setup]",
    "main.Show 3",
    "main.Repaint",
    "wizard.Construct",
    "wizard.ClearHelpFlag",
    "wizard.DoModal",
});

const EventLog UpToCopy = Concat(UpToWizard, {
    "main.Repaint",
    "progress.Create main",
    "engine.CopyFiles",
    "progress.Destroy",
});

const EventLog UpToRegistry = Concat(UpToCopy, {
    "status.Create main",
    "status.Text Updating system...",
    "engine.UpdateRegistry",
});

const EventLog UpToSave = Concat(UpToRegistry, {
    "engine.RegisterDlls",
    "status.Text Creating Program Folder...",
    "engine.CreateProgramFolder",
    "status.Text Saving install-informations...",
    "engine.SetInfoText (none)",
    "engine.SaveInstallRecord",
});

std::string Box(UINT nStyle, const std::string& strText)
{
    return "box " + std::to_string(nStyle) + " " + strText;
}

class InstallSequence : public ::testing::Test {
protected:
    // Runs what the main window's initialisation runs.
    SetupOutcome RunAndReport() { return RunInstallAndReport(run.window, EngineCallback); }

    RecordingRun run;
};

TEST_F(InstallSequence, CompletesEveryPhaseInOrder)
{
    EXPECT_EQ(RunAndReport(), OUTCOME_DONE);
    EXPECT_EQ(run.log, Concat(UpToSave, {
        "status.Destroy",
        "engine.RunPostInstallHook",
        "wizard.Destroy",
        Box(64, COMPLETED),
    }));
    EXPECT_EQ(run.engine.m_pfnCallback, &EngineCallback);
    EXPECT_FALSE(run.window.m_status.m_bExists);
    EXPECT_EQ(run.boxes.m_captions, std::vector<std::string>({"Setup"}));
}

TEST_F(InstallSequence, LoadFailureEndsWithItsMessageAndLeavesTheStatusPopup)
{
    const struct {
        DWORD dwError;
        const char* pszText;
    } rows[] = {
        {SETUP_E_NOINFO, "Can't find the install-informations. The Setup will be cancelled."},
        {SETUP_E_BADINFO, "There are errors in the install-informations. The Setup will be cancelled."},
        {SETUP_E_INIT, "Error during initializing. Restart Windows an try the Setup again."},
        {SETUP_E_NODRIVE, GENERAL_ERROR},
        {ERROR_ACCESS_DENIED, GENERAL_ERROR},
        {SETUP_E_CANCELLED, GENERAL_ERROR},
        {SETUP_E_DAMAGED, "The file Setup.dat on disk 1 is damaged. The Setup will be cancelled."},
    };
    for (const auto& row : rows) {
        RecordingRun one;
        one.engine.Fail("LoadInstallInfo", row.dwError);
        one.engine.m_damage = {"Setup.dat", 0, 0};
        EXPECT_EQ(RunInstallAndReport(one.window, EngineCallback), OUTCOME_REFUSED);
        EXPECT_EQ(one.log, Concat(UpToLoad, {Box(16, row.pszText)})) << std::hex << row.dwError;
        EXPECT_TRUE(one.window.m_status.m_bExists);
    }
}

TEST_F(InstallSequence, WithoutAnEngineEndsAsAFailedLoad)
{
    SetSetupEngine(nullptr);
    EXPECT_EQ(RunAndReport(), OUTCOME_REFUSED);
    EXPECT_EQ(run.log, Concat({"status.Create main", "status.Text Initializing Setup...", "status.Show 5",
                               "main.SetWindowIcon 1", "main.SetWindowIcon 0"},
                              {Box(16, GENERAL_ERROR)}));
}

TEST_F(InstallSequence, WizardLeftWithoutFinishRunsNoFurtherOperation)
{
    const struct {
        INT_PTR nResult;
        SetupOutcome outcome;
    } rows[] = {
        {IDCANCEL, OUTCOME_USER_QUIT},
        {0, OUTCOME_USER_QUIT},
        {ID_WIZFINISH + 1, OUTCOME_USER_QUIT},
        {WIZARD_REFUSED, OUTCOME_REFUSED},
        {WIZARD_BAD_PRESET, OUTCOME_BAD_COMMAND_LINE},
    };
    for (const auto& row : rows) {
        RecordingRun one;
        one.window.m_nWizardResult = row.nResult;
        EXPECT_EQ(RunInstallAndReport(one.window, EngineCallback), row.outcome) << row.nResult;
        EXPECT_EQ(one.log, Concat(UpToWizard, {"wizard.Destroy", Box(64, NOT_FINISHED)})) << row.nResult;
    }
}

TEST_F(InstallSequence, EmptyProductTitleGivesBlankSetupCaption)
{
    run.engine.m_strProductTitle.clear();
    run.window.m_nWizardResult = IDCANCEL;
    RunAndReport();
    EXPECT_EQ(run.log[7], "main.SetCaption [ Setup]");
}

TEST_F(InstallSequence, CopyFailureReportsOnlyTheCopyPhaseCodesAndDamageAndRollsBackOnce)
{
    const char* const DAMAGED = " is damaged. The Setup will be cancelled.";
    const struct {
        DWORD dwError;
        DamagedFile damage;
        std::string strBox;    // empty: none
        SetupOutcome outcome;  // only the user's quitting is not a failure
    } rows[] = {
        {SETUP_E_VERSION, {}, GENERAL_ERROR, OUTCOME_FAILED},
        {SETUP_E_FILESTATUS, {}, GENERAL_ERROR, OUTCOME_FAILED},
        {SETUP_E_COPY, {}, GENERAL_ERROR, OUTCOME_FAILED},
        {SETUP_E_CANCELLED, {}, "", OUTCOME_USER_QUIT},
        {SETUP_E_INIT, {}, "", OUTCOME_FAILED},
        {0xE000000B, {}, "", OUTCOME_FAILED},
        {ERROR_DISK_FULL, {}, "", OUTCOME_FAILED},
        {ERROR_SUCCESS, {}, "", OUTCOME_FAILED},
        // The disks of a damaged file as the user counts them, from 1.
        {SETUP_E_DAMAGED, {"_Uninst.ex_", 0, 0}, std::string("The file _Uninst.ex_ on disk 1") + DAMAGED,
         OUTCOME_FAILED},
        {SETUP_E_DAMAGED, {"Tessel.hlp", 0, 1}, std::string("The file Tessel.hlp on disks 1 and 2") + DAMAGED,
         OUTCOME_FAILED},
        {SETUP_E_DAMAGED, {"Big.bin", 1, 3}, std::string("The file Big.bin on disks 2 to 4") + DAMAGED,
         OUTCOME_FAILED},
    };
    for (const auto& row : rows) {
        RecordingRun one;
        one.engine.Fail("CopyFiles", row.dwError);
        one.engine.m_damage = row.damage;
        EXPECT_EQ(RunInstallAndReport(one.window, EngineCallback), row.outcome) << std::hex << row.dwError;
        EventLog tail;
        if (!row.strBox.empty())
            tail.push_back(Box(16, row.strBox));
        tail.insert(tail.end(), {"engine.Rollback", "wizard.Destroy", Box(64, NOT_FINISHED)});
        EXPECT_EQ(one.log, Concat(UpToCopy, tail)) << std::hex << row.dwError;
    }
}

TEST_F(InstallSequence, RegistryFailureStopsTheInstallWithTheStatusPopupUp)
{
    const struct {
        DWORD dwError;
        const char* pszText;
    } rows[] = {
        {ERROR_ACCESS_DENIED, "The access to the Registry has been denieded.\r\nSetup is cancelled."},
        {ERROR_BADKEY, "There has occurred an error during accessing the Registry.\r\nSetup is cancelled."},
        {SETUP_E_COPY, "There has occurred an error during accessing the Registry.\r\nSetup is cancelled."},
    };
    for (const auto& row : rows) {
        RecordingRun one;
        one.engine.Fail("UpdateRegistry", row.dwError);
        EXPECT_EQ(RunInstallAndReport(one.window, EngineCallback), OUTCOME_FAILED);
        EXPECT_EQ(one.log, Concat(UpToRegistry, {Box(16, row.pszText), "engine.Rollback", "wizard.Destroy",
                                                 Box(64, NOT_FINISHED)}))
            << row.dwError;
        EXPECT_TRUE(one.window.m_status.m_bExists);
    }
}

TEST_F(InstallSequence, FailedProgramFolderIsShownWithExclamationAndTheInstallGoesOn)
{
    run.engine.Fail("CreateProgramFolder", ERROR_ACCESS_DENIED);
    EXPECT_EQ(RunAndReport(), OUTCOME_DONE);
    EXPECT_EQ(run.log, Concat(UpToRegistry, {
        "engine.RegisterDlls",
        "status.Text Creating Program Folder...",
        "engine.CreateProgramFolder",
        Box(48, "The creation of the Program Folder has failed."),
        "status.Text Saving install-informations...",
        "engine.SetInfoText (none)",
        "engine.SaveInstallRecord",
        "status.Destroy",
        "engine.RunPostInstallHook",
        "wizard.Destroy",
        Box(64, COMPLETED),
    }));
}

TEST_F(InstallSequence, IgnoredResultsDoNotStopTheInstall)
{
    run.engine.Fail("RegisterDlls", ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RunAndReport(), OUTCOME_DONE);
    EXPECT_EQ(run.log.back(), Box(64, COMPLETED));
}

TEST_F(InstallSequence, FailedSaveRollsBackSilentlyAndSkipsTheHook)
{
    run.engine.Fail("SaveInstallRecord", ERROR_DISK_FULL);
    EXPECT_EQ(RunAndReport(), OUTCOME_FAILED);
    EXPECT_EQ(run.log, Concat(UpToSave, {"engine.Rollback", "wizard.Destroy", Box(64, NOT_FINISHED)}));
    EXPECT_TRUE(run.window.m_status.m_bExists);
}

TEST_F(InstallSequence, QuittingAtACopyPromptEndsLikeACancelledCopy)
{
    // The engine asks through the callback it was given; the user presses
    // Cancel and confirms, so the engine gives up with SETUP_E_CANCELLED.
    run.engine.m_copyWork = [this] {
        run.window.m_progress.m_nCancel = 1;
        run.boxes.m_answers.push_back(IDYES);
        if (run.engine.m_pfnCallback(SETUPCB_PROGRESS, 40, 0) == 0) {
            SetLastError(SETUP_E_CANCELLED);
            return FALSE;
        }
        return TRUE;
    };
    EXPECT_EQ(RunAndReport(), OUTCOME_USER_QUIT);
    EXPECT_EQ(run.log, Concat(UpToWizard, {
        "main.Repaint",
        "progress.Create main",
        "engine.CopyFiles",
        "progress.CheckCancel",
        Box(292, "Do you really want to quit Setup ?"),
        "progress.Destroy",
        "engine.Rollback",
        "wizard.Destroy",
        Box(64, NOT_FINISHED),
    }));
}

TEST(ExitCode, TheCodesDeploymentToolsKnow)
{
    const struct {
        SetupOutcome outcome;
        DWORD dwAttended, dwUnattended;
    } rows[] = {
        {OUTCOME_DONE, 0, 0},
        {OUTCOME_USER_QUIT, 1602, 1603},  // unattended, only the run's own answers give up
        {OUTCOME_FAILED, 1603, 1603},
        {OUTCOME_REFUSED, 1603, 1603},
        {OUTCOME_ALREADY_RUNNING, 1618, 1618},
        {OUTCOME_BAD_COMMAND_LINE, 87, 87},
        {OUTCOME_RESTART_NEEDED, 3010, 3010},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ExitCodeOf(row.outcome, false), row.dwAttended) << row.outcome;
        EXPECT_EQ(ExitCodeOf(row.outcome, true), row.dwUnattended) << row.outcome;
    }
}

}  // namespace
