// What the uninstaller says and ends with, how it reads its record, and the
// command line its copy is started with, natively.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/file.h"
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

TEST(RemovalTexts, TheFinalBoxSaysWhatStaysAndTheCodeFollowsTheWorst)
{
    struct Row {
        std::vector<RemainingItem> remaining;
        std::string strText;
        UINT nStyle;
        DWORD dwCode;
    };
    const Row rows[] = {
        {{}, "Vantler was removed from your computer.", MB_OK | MB_ICONINFORMATION, 0},
        {{Item(RemainingItem::NOT_EMPTY, "C:\\Vantler\\VB"), Item(RemainingItem::OTHER_INSTALLATION, "HKCR\\.vtr")},
         "Vantler was removed from your computer. These items remain:\r\n\r\n"
         "C:\\Vantler\\VB: holds files that Setup did not install\r\n"
         "HKCR\\.vtr: belongs to another installation now",
         MB_OK | MB_ICONINFORMATION, 0},
        {{Item(RemainingItem::AT_RESTART, "C:\\Vantler\\Tessel.hlp")},
         "Vantler was removed from your computer. These items remain:\r\n\r\n"
         "C:\\Vantler\\Tessel.hlp: in use, it will be removed when Windows restarts\r\n\r\n"
         "Restart Windows to complete the removal.",
         MB_OK | MB_ICONINFORMATION, 3010},
        {{Item(RemainingItem::AT_RESTART, "C:\\V\\a.hlp"), Item(RemainingItem::FAILED, "HKLM\\App Paths", 5),
          Item(RemainingItem::FAILED, "Registration of C:\\V\\x.ocx", 0x80004005),
          Item(RemainingItem::GROUP_LEFT, "Vantler")},
         "Vantler was not removed completely. These items remain:\r\n\r\n"
         "C:\\V\\a.hlp: in use, it will be removed when Windows restarts\r\n"
         "HKLM\\App Paths: not removed (error 5)\r\n"
         "Registration of C:\\V\\x.ocx: not removed (error 0x80004005)\r\n"
         "Program folder Vantler: Program Manager did not remove it\r\n\r\n"
         "Start the uninstaller again to finish the removal.\r\n\r\n"
         "Restart Windows to complete the removal.",
         MB_OK | MB_ICONEXCLAMATION, 1603},
    };
    for (const Row& row : rows) {
        const RemovalMessage message = FinalMessage("Vantler", row.remaining);
        EXPECT_EQ(row.strText, message.strText);
        EXPECT_EQ(row.nStyle, message.nStyle);
        EXPECT_EQ(row.dwCode, message.dwExitCode);
    }

    // A damaged record can name thousands of entries: the box shows twenty.
    const std::vector<RemainingItem> many(25, Item(RemainingItem::OUTSIDE, "C:\\x"));
    const std::string strText = FinalMessage("Vantler", many).strText;
    EXPECT_EQ(20u, static_cast<size_t>(std::count(strText.begin(), strText.end(), 'x')));
    EXPECT_NE(std::string::npos, strText.find("\r\n... and 5 more."));
}

TEST(RemovalTexts, ARecordThatCannotServeRemovesNothing)
{
    const std::string R = "C:\\Vantler\\Setup.inf";
    EXPECT_EQ("The install record " + R + " cannot be found.\r\nNothing was removed.",
              RecordFailureMessage(R, ERROR_FILE_NOT_FOUND).strText);
    EXPECT_EQ("The install record " + R + " is damaged.\r\nNothing was removed.",
              RecordFailureMessage(R, SETUP_E_BADINFO).strText);
    EXPECT_EQ("The install record " + R + " cannot be read (error 5).\r\nNothing was removed.",
              RecordFailureMessage(R, ERROR_ACCESS_DENIED).strText);
    EXPECT_EQ("The install record " + R + " describes an installation in C:\\Other, not this one.\r\n"
              "Nothing was removed.",
              ForeignRecordMessage(R, "C:\\Other").strText);
    EXPECT_EQ("The uninstaller cannot start its copy in the temporary directory (error 112).\r\nNothing was removed.",
              CopyFailureMessage(ERROR_DISK_FULL).strText);
    for (const RemovalMessage& message :
         {RecordFailureMessage(R, 5), ForeignRecordMessage(R, "C:"), CopyFailureMessage(5)}) {
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONSTOP), message.nStyle);
        EXPECT_EQ(1603u, message.dwExitCode);
    }
}

TEST(RecordFile, OnlyAWholeRecordIsRead)
{
    TempDir dir;
    CInstallMngr written;
    written.m_strDestDir = "C:\\Vantler";
    written.AddFile(*written.AddDirectory(written.GetRoot(), "Applikation"), "C:\\Vantler\\Tessel.exe", 3);
    const std::string strPath = dir.Path("Setup.inf");
    {
        CFile file(strPath.c_str(), CFile::modeCreate | CFile::modeWrite);
        written.StoreRecord(file);
    }
    const std::string strBytes = [&] {
        CFile file(strPath.c_str(), CFile::modeRead);
        std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
        file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
        return bytes;
    }();

    CInstallMngr record;
    EXPECT_EQ(0u, LoadInstallRecord(strPath, record));
    EXPECT_EQ("C:\\Vantler", record.m_strDestDir);
    EXPECT_EQ("vtr", record.m_strResExt);
    EXPECT_EQ("Tessel.exe", record.m_strMainExe);

    const struct {
        const char* pszName;
        std::string strBytes;
    } damaged[] = {{"cut short", strBytes.substr(0, strBytes.size() - 3)},
                   {"another signature", "XXXX" + strBytes.substr(4)},
                   {"empty", ""}};
    for (const auto& row : damaged) {
        SCOPED_TRACE(row.pszName);
        const std::string strDamaged = dir.WriteFile(std::string(row.pszName) + ".inf", row.strBytes);
        CInstallMngr other;
        EXPECT_EQ(SETUP_E_BADINFO, LoadInstallRecord(strDamaged, other));
    }
    CInstallMngr missing;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), LoadInstallRecord(dir.Path("none.inf"), missing));
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
    EXPECT_EQ((std::vector<std::string>{"a b", "c", "", "d"}), SplitCommandLine("  \"a b\"\tc \"\" d"));
    EXPECT_EQ((std::vector<std::string>{"open"}), SplitCommandLine("\"open"));
}

}  // namespace
