// The unattended run's wizard as one table: the pages' logic over a fake
// engine, the choices preset from the command line, and every question
// answered as nobody at the screen answers it.
#include <gtest/gtest.h>

#include <functional>

#include "framework/unattended_answers.h"
#include "app/unattended_wizard.h"
#include "tests/wizard/fake_wizard_engine.h"

namespace {

// The unattended answers, with each box and its answer kept as "STYLE ANSWER TEXT".
class RecordedAnswers : public CUnattendedAnswers {
public:
    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override
    {
        const int nAnswer = CUnattendedAnswers::Show(pszCaption, strText, nStyle);
        m_asked.push_back(std::to_string(nStyle) + " " + AnswerName(nAnswer) + " " + strText);
        return nAnswer;
    }
    std::vector<std::string> m_asked;
};

const char* const kCreate = "36 Yes The destination directory C:\\Vantler does not exist. Do you want to create it ?";

TEST(UnattendedWizard, TakesThePresetsAndAnswersForNobody)
{
    const struct {
        const char* what;
        std::function<void(FakeWizardEngine&, SetupOptions&)> prepare;
        INT_PTR nResult;
        std::vector<std::string> asked;
        std::string strDest, strFolder;  // what the engine holds afterwards
    } rows[] = {
        {"a missing directory is created", [](FakeWizardEngine& e, SetupOptions&) { e.m_dwProbe = 3; },
         ID_WIZFINISH, {kCreate}, "C:\\Vantler", "Vantler"},
        {"a previous installation of the product: no question", [](FakeWizardEngine&, SetupOptions&) {},
         ID_WIZFINISH, {}, "C:\\Vantler", "Vantler"},
        {"another application in the directory: No", [](FakeWizardEngine& e, SetupOptions&) {
             e.m_bDestinationFree = FALSE;
         },
         WIZARD_REFUSED,
         {"308 No There is already another application in the destination directory \r\nC:\\Vantler.\r\n"
          "Would you like to proceed ?"},
         "\\Vantler", "Vantler"},
        {"too little space: No", [](FakeWizardEngine& e, SetupOptions&) { e.m_bEnoughSpace = FALSE; },
         WIZARD_REFUSED,
         {"308 No There is'nt likely enough free disk-space on your hard-disk.\r\nDo you want to proceed Setup ?"},
         "\\Vantler", "Vantler"},
        {"a drive that cannot be read is not retried", [](FakeWizardEngine& e, SetupOptions&) {
             e.m_unreadableDrives = {0};
         },
         WIZARD_REFUSED,
         {"21 Cancel Error by accessing Drive C:", "16 OK An error has occurred. The Setup will be cancelled."},
         "\\Vantler", "Vantler"},
        {"a directory that cannot be examined", [](FakeWizardEngine& e, SetupOptions&) { e.m_dwProbe = 5; },
         WIZARD_REFUSED, {"16 OK Error by accessing Directory \r\nC:\\Vantler ."}, "\\Vantler", "Vantler"},
        {"/D= and /GROUP= preset both pages", [](FakeWizardEngine& e, SetupOptions& o) {
             e.m_dwProbe = 3;
             o.strDestDir = "d:\\My Apps\\Vantler";
             o.strGroup = "Vantler Tools";
         },
         ID_WIZFINISH,
         {"36 Yes The destination directory D:\\My Apps\\Vantler does not exist. Do you want to create it ?"},
         "D:\\My Apps\\Vantler", "Vantler Tools"},
        {"/D= on a drive the page does not offer", [](FakeWizardEngine&, SetupOptions& o) {
             o.strDestDir = "A:\\Vantler";
         },
         WIZARD_BAD_PRESET,
         {"16 OK The destination directory \"A:\\Vantler\" is not on a drive Setup can install on.\r\n\r\n"
          "Setup [/S] [/D=directory] [/GROUP=name] [/LOG=file]"},
         "\\Vantler", "Vantler"},
        {"a default directory the page refuses", [](FakeWizardEngine& e, SetupOptions&) {
             e.m_strDestDir = "\\Vantler;1";
         },
         WIZARD_REFUSED, {}, "\\Vantler;1", "Vantler"},
        {"a default folder name the page refuses", [](FakeWizardEngine& e, SetupOptions&) {
             e.m_strProgramFolder = "Tools/Vantler";
         },
         WIZARD_REFUSED, {}, "C:\\Vantler", "Tools/Vantler"},
    };
    for (const auto& row : rows) {
        FakeWizardEngine engine;
        SetupOptions options;
        options.bUnattended = true;
        row.prepare(engine, options);
        RecordedAnswers answers;
        IMessageBoxPresenter* pPrevious = SetMessageBoxPresenter(&answers);
        CUnattendedWizard wizard(engine, options);
        EXPECT_EQ(wizard.DoModal(), row.nResult) << row.what;
        SetMessageBoxPresenter(pPrevious);
        EXPECT_EQ(answers.m_asked, row.asked) << row.what;
        EXPECT_EQ(engine.GetDestDir(), row.strDest) << row.what;
        EXPECT_EQ(engine.GetProgramFolder(), row.strFolder) << row.what;
    }
}

}  // namespace
