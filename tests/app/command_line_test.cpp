// Setup.exe's command line as one table: how a line splits into arguments,
// what the switches set, and each way a line is refused.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "platform/command_line.h"
#include "wizard/dest_page_logic.h"

namespace {

TEST(CommandLine, SplitsReadsAndRefusesAsATable)
{
    // The longest destination the page takes: the drive, then its longest text.
    const std::string kLong = "C:\\" + std::string(CDestPageLogic::MAX_DIR_TEXT - 1, 'a');
    const struct {
        const char* what;
        std::string line;
        std::vector<std::string> args;  // after the program's name
        // What the switches set (also beside an error), and the first error (empty: accepted).
        bool bUnattended;
        std::string strDest, strGroup, strLog, strError;
    } rows[] = {
        {"nothing", "Setup.exe", {}, false, "", "", "", ""},
        {"blanks only after the name", "Setup.exe  \t ", {}, false, "", "", "", ""},
        {"quoted program name with a blank", "\"C:\\My Disk\\Setup.exe\" /S", {"/S"}, true, "", "", "", ""},
        {"program name's backslash before a quote is no escape", "\"A:\\\" /S", {"/S"}, true, "", "", "", ""},
        {"every switch, / and -, any case",
         "Setup.exe -s /d=C:\\Vantler /Group=Tools -LOG=C:\\setup.log",
         {"-s", "/d=C:\\Vantler", "/Group=Tools", "-LOG=C:\\setup.log"},
         true, "C:\\Vantler", "Tools", "C:\\setup.log", ""},
        {"a value with blanks in quotes", "Setup.exe /D=\"C:\\My Apps\\Vantler\" /GROUP=\"Vantler Tools\"",
         {"/D=C:\\My Apps\\Vantler", "/GROUP=Vantler Tools"}, false, "C:\\My Apps\\Vantler", "Vantler Tools", "", ""},
        {"the whole switch in quotes", "Setup.exe \"/LOG=C:\\Setup Logs\\v.log\"", {"/LOG=C:\\Setup Logs\\v.log"},
         false, "", "", "C:\\Setup Logs\\v.log", ""},
        {"the page's trimming", "Setup.exe \"/D= D:\\Apps \" \"/GROUP= Vantler \"",
         {"/D= D:\\Apps ", "/GROUP= Vantler "},
         false, "D:\\Apps", "Vantler", "", ""},
        {"a drive root", "Setup.exe /D=E:", {"/D=E:"}, false, "E:", "", "", ""},
        {"the longest directory the page takes", "Setup.exe /D=" + kLong, {"/D=" + kLong}, false, kLong, "", "", ""},
        {"2n backslashes before a quote: n, and the quote closes", "Setup.exe \"/LOG=C:\\\\\" /S",
         {"/LOG=C:\\", "/S"}, true, "", "", "C:\\", ""},
        {"2n+1 backslashes before a quote: n and a quote", "Setup.exe /LOG=a\\\\\\\"b", {"/LOG=a\\\"b"}, false, "",
         "", "a\\\"b", ""},
        {"backslashes elsewhere are themselves", "Setup.exe /LOG=\\\\server\\share\\v.log",
         {"/LOG=\\\\server\\share\\v.log"}, false, "", "", "\\\\server\\share\\v.log", ""},
        {"an empty quoted argument is one", "Setup.exe \"\"", {""}, false, "", "", "", "The option \"\" is not known."},
        {"unknown switch", "Setup.exe /Q", {"/Q"}, false, "", "", "", "The option \"/Q\" is not known."},
        {"a switch's name cut short", "Setup.exe /GR=Tools", {"/GR=Tools"}, false, "", "", "",
         "The option \"/GR=Tools\" is not known."},
        {"/S with a value", "Setup.exe /S=1", {"/S=1"}, false, "", "", "", "The option \"/S=1\" is not known."},
        {"no switch at all", "Setup.exe C:\\Vantler", {"C:\\Vantler"}, false, "", "", "",
         "The option \"C:\\Vantler\" is not known."},
        {"a value switch without its value", "Setup.exe /D C:\\Vantler", {"/D", "C:\\Vantler"}, false, "", "", "",
         "The option /D needs a value: /D=..."},
        {"an empty value", "Setup.exe /log=", {"/log="}, false, "", "", "", "The option /log needs a value: /log=..."},
        {"given twice: the first holds", "Setup.exe /D=C:\\A -d=C:\\B", {"/D=C:\\A", "-d=C:\\B"}, false, "C:\\A", "",
         "", "The option -d= is given twice."},
        {"/S twice", "Setup.exe /S /s", {"/S", "/s"}, true, "", "", "", "The option /s is given twice."},
        {"/S and /LOG= hold beside an error, the first error is told", "Setup.exe /Q /S /LOG=v.log /D=x",
         {"/Q", "/S", "/LOG=v.log", "/D=x"}, true, "", "", "v.log", "The option \"/Q\" is not known."},
        {"a trailing backslash swallows the closing quote", "Setup.exe /D=\"C:\\My Apps\\\"",
         {"/D=C:\\My Apps\""}, false, "", "", "", "The destination directory \"C:\\My Apps\"\" is not valid."},
        {"a relative destination", "Setup.exe /D=Vantler", {"/D=Vantler"}, false, "", "", "",
         "The destination directory \"Vantler\" is not valid."},
        {"a destination the page's path check refuses", "Setup.exe \"/D=C:\\Vantler;1\"", {"/D=C:\\Vantler;1"},
         false, "", "", "", "The destination directory \"C:\\Vantler;1\" is not valid."},
        {"a destination longer than the page takes", "Setup.exe /D=" + kLong + "a", {"/D=" + kLong + "a"}, false,
         "", "", "", "The destination directory \"" + kLong + "a\" is not valid."},
        {"a folder name the folder page refuses", "Setup.exe /GROUP=Tools\\Vantler", {"/GROUP=Tools\\Vantler"},
         false, "", "", "", "The program folder name \"Tools\\Vantler\" is not valid."},
        {"a folder name of blanks", "Setup.exe \"/GROUP=  \"", {"/GROUP=  "}, false, "", "", "",
         "The program folder name \"  \" is not valid."},
        {"a folder name that addresses the folder around it", "Setup.exe /GROUP=..", {"/GROUP=.."}, false, "", "",
         "", "The program folder name \"..\" is not valid."},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args = SplitCommandLine(row.line);
        ASSERT_FALSE(args.empty()) << row.what;
        args.erase(args.begin());
        EXPECT_EQ(args, row.args) << row.what;

        SetupOptions options;
        std::string strError;
        EXPECT_EQ(ParseCommandLine(row.line, options, strError), row.strError.empty() ? TRUE : FALSE) << row.what;
        EXPECT_EQ(strError, row.strError) << row.what;
        EXPECT_EQ(options.bUnattended, row.bUnattended) << row.what;
        EXPECT_EQ(options.strDestDir, row.strDest) << row.what;
        EXPECT_EQ(options.strGroup, row.strGroup) << row.what;
        EXPECT_EQ(options.strLog, row.strLog) << row.what;
    }
}

}  // namespace
