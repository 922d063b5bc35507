// What the uninstaller says and ends with, how it reads its record, and the
// command line its copy is started with, natively.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/mem_file.h"
#include "model/install_mngr.h"
#include "model/setup_protocol.h"
#include "tests/support/temp_dir.h"
#include "uninstall/copy_command.h"
#include "uninstall/record_file.h"
#include "uninstall/removal_texts.h"

namespace {

RemainingItem Item(RemainingItem::Reason reason, const std::string& strName, DWORD dwError = 0)
{
    RemainingItem item;
    item.reason = reason;
    item.strName = strName;
    item.dwError = dwError;
    return item;
}

// The exit code follows the worst that stayed; a failure asks for a second
// run. (The texts of a removal that went through are checked on Uninst.exe.)
TEST(RemovalTexts, TheFinalBoxAndTheCodeFollowTheWorst)
{
    const RemovalMessage failed =
        FinalMessage("Vantler", {Item(RemainingItem::AT_RESTART, "C:\\V\\a.hlp"), Item(RemainingItem::FAILED, "HKLM\\X", 5),
                                 Item(RemainingItem::FAILED, "Registration of C:\\V\\x.ocx", 0x80004005),
                                 Item(RemainingItem::GROUP_LEFT, "Vantler")});
    EXPECT_EQ("Vantler was not removed completely. These items remain:\r\n\r\n"
              "C:\\V\\a.hlp: in use, it will be removed when Windows restarts\r\n"
              "HKLM\\X: not removed (error 5)\r\n"
              "Registration of C:\\V\\x.ocx: not removed (error 0x80004005)\r\n"
              "Program folder Vantler: could not be removed\r\n\r\n"
              "Start the uninstaller again to finish the removal.\r\n\r\n"
              "Restart Windows to complete the removal.",
              failed.strText);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), failed.nStyle);
    EXPECT_EQ(1603u, failed.dwExitCode);
    EXPECT_EQ(3010u, FinalMessage("Vantler", {Item(RemainingItem::AT_RESTART, "C:\\V\\a.hlp")}).dwExitCode);
    EXPECT_EQ(0u, FinalMessage("Vantler", {Item(RemainingItem::KEPT, "C:\\V\\a.dll")}).dwExitCode);

    // A damaged record can name thousands of entries: the box shows twenty.
    const std::string strMany = FinalMessage("Vantler", std::vector<RemainingItem>(25, Item(RemainingItem::OUTSIDE, "x"))).strText;
    EXPECT_EQ(20, std::count(strMany.begin(), strMany.end(), 'x'));
    EXPECT_NE(std::string::npos, strMany.find("\r\n... and 5 more."));

    // Nothing was removed: a stop box and a failure.
    for (const RemovalMessage& message : {RecordFailureMessage("R", ERROR_FILE_NOT_FOUND), RecordFailureMessage("R", 5),
                                          ForeignRecordMessage("R", "C:"), CopyFailureMessage(5)}) {
        EXPECT_NE(std::string::npos, message.strText.find("\r\nNothing was removed."));
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONSTOP), message.nStyle);
        EXPECT_EQ(1603u, message.dwExitCode);
    }
}

// Only a whole record of this format is read; a missing one says so.
TEST(RecordFile, OnlyAWholeRecordIsRead)
{
    TempDir dir;
    CInstallMngr written;
    written.m_strDestDir = "C:\\Vantler";
    CMemFile bytes;
    written.StoreRecord(bytes);
    const std::string strRecord(bytes.Data().begin(), bytes.Data().end());

    CInstallMngr record;
    EXPECT_EQ(0u, LoadInstallRecord(dir.WriteFile("Setup.inf", strRecord), record));
    EXPECT_EQ("C:\\Vantler", record.m_strDestDir);
    EXPECT_EQ("vtr", record.m_strResExt);
    for (const std::string& damaged : {strRecord.substr(0, strRecord.size() - 3), "XXXX" + strRecord.substr(4),
                                       std::string()})
        EXPECT_EQ(SETUP_E_BADINFO, LoadInstallRecord(dir.WriteFile("damaged.inf", damaged), record));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), LoadInstallRecord(dir.Path("none.inf"), record));
}

TEST(CopyCommand, TheCopysLineCarriesTheStartedProgramAndTwoHandles)
{
    CopyCommand command;
    command.strStarted = "C:\\Program Files\\Vantler\\Uninst.exe";
    command.hPipe = 0x1c;
    command.hStarted = static_cast<UINT_PTR>(0xfedcba98);
    const std::string strLine = FormatCopyCommand("C:\\Users\\A B\\Temp\\Un1a2b.tmp", command);
    EXPECT_EQ("\"C:\\Users\\A B\\Temp\\Un1a2b.tmp\" /COPY:1c:fedcba98 \"C:\\Program Files\\Vantler\\Uninst.exe\"",
              strLine);
    CopyCommand parsed;
    ASSERT_TRUE(ParseCopyCommand(strLine, parsed));
    EXPECT_EQ(command.strStarted, parsed.strStarted);
    EXPECT_EQ(command.hPipe, parsed.hPipe);
    EXPECT_EQ(command.hStarted, parsed.hStarted);

    // As the Apps list, a user or a deployment tool starts it: no copy's line.
    for (const char* pszLine :
         {"\"C:\\Program Files\\Vantler\\Uninst.exe\"", "C:\\Vantler\\Uninst.exe", "Un.tmp /COPY:1c \"C:\\V\\U.exe\"",
          "Un.tmp /COPY:1c:2g \"C:\\V\\U.exe\"", "Un.tmp /COPY::2 \"C:\\V\\U.exe\"", "Un.tmp /COPY:0:2 \"C:\\V\\U.exe\"",
          "Un.tmp /COPY:1:2", "Un.tmp /COPY:1:2 \"\"", "Un.tmp /copy:1:2 \"C:\\V\\U.exe\"",
          "Un.tmp /COPY:11111111111111111:2 \"C:\\V\\U.exe\""}) {
        EXPECT_FALSE(ParseCopyCommand(pszLine, parsed)) << pszLine;
    }

    // The switches the started program was given reach the copy whole, the
    // log's path whatever its blanks, quotes or backslashes.
    for (const std::string& strLog : {std::string("C:\\Logs and more\\u.log"), std::string("C:\\a\\\"b\\\\"),
                                      std::string()}) {
        command.options.bUnattended = !strLog.empty();
        command.options.strLog = strLog;
        ASSERT_TRUE(ParseCopyCommand(FormatCopyCommand("C:\\Temp\\Un1.tmp", command), parsed)) << strLog;
        EXPECT_EQ(command.strStarted, parsed.strStarted);
        EXPECT_EQ(command.options.bUnattended, parsed.options.bUnattended);
        EXPECT_EQ(strLog, parsed.options.strLog);
    }
}

TEST(UninstallOptions, SwitchesAreReadAsSetupReadsItsOwn)
{
    const struct {
        std::string line;
        bool bUnattended;
        std::string strLog, strError;  // strError empty: accepted
    } rows[] = {
        {"Uninst.exe", false, "", ""},
        {"\"C:\\Program Files\\Vantler\\Uninst.exe\" /S", true, "", ""},
        {"Uninst.exe -s \"/log=C:\\My Logs\\u.log\"", true, "C:\\My Logs\\u.log", ""},
        {"Uninst.exe /LOG=u.log /Q", false, "u.log", "The option \"/Q\" is not known."},
        {"Uninst.exe /D=C:\\Vantler", false, "", "The option \"/D=C:\\Vantler\" is not known."},
        {"Uninst.exe /S /S", true, "", "The option /S is given twice."},
        {"Uninst.exe /LOG", false, "", "The option /LOG needs a value: /LOG=..."},
        {"Uninst.exe /COPY:1c:2 \"C:\\Vantler\\Uninst.exe\"", false, "", "The option \"/COPY:1c:2\" is not known."},
    };
    for (const auto& row : rows) {
        UninstallOptions options;
        std::string strError;
        EXPECT_EQ(row.strError.empty() ? TRUE : FALSE, ParseUninstallOptions(row.line, options, strError)) << row.line;
        EXPECT_EQ(row.strError, strError) << row.line;
        EXPECT_EQ(row.bUnattended, options.bUnattended) << row.line;
        EXPECT_EQ(row.strLog, options.strLog) << row.line;
    }
}

}  // namespace
