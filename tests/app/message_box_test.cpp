// The message box convention: the "Setup" caption and the default icon.
#include <gtest/gtest.h>

#include "tests/app/recording_ui.h"

namespace {

TEST(MessageBoxStyle, BoxesThatNameNoIconGetTheExclamation)
{
    const struct {
        UINT nStyle;
        UINT nShown;
    } rows[] = {
        {0, 48},      {1, 49},     {3, 51},     {4, 52},      {256, 304},  // OK, OK/Cancel, Yes/No/Cancel, Yes/No
        {2, 2},       {5, 5},      {6, 6},                                 // other button sets: unchanged
        {16, 16},     {21, 21},    {33, 33},    {36, 36},     {64, 64},    // an icon already named
        {292, 292},   {308, 308},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AddDefaultIcon(row.nStyle), row.nShown) << row.nStyle;
}

TEST(MessageBoxStyle, EveryBoxHasTheSetupCaption)
{
    RecordingRun run;
    run.boxes.m_answers = {IDYES};
    EXPECT_EQ(SetupMessageBox("Question", 36), IDYES);
    EXPECT_EQ(SetupMessageBox("Note", 0), IDOK);
    EXPECT_EQ(run.boxes.m_captions, std::vector<std::string>({"Setup", "Setup"}));
    EXPECT_EQ(run.log, EventLog({"box 36 Question", "box 48 Note"}));
}

TEST(MessageBoxStyle, WithoutAPresenterNothingIsAgreed)
{
    IMessageBoxPresenter* pPrevious = SetMessageBoxPresenter(nullptr);
    EXPECT_EQ(SetupMessageBox("Question", 36), 0);
    SetMessageBoxPresenter(pPrevious);
}

}  // namespace
