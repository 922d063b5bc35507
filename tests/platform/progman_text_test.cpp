#include "platform/progman_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

std::vector<std::string> Parse(const char* reply)
{
    return ParseGroupList(reply, std::strlen(reply) + 1);
}

using Names = std::vector<std::string>;

}  // namespace

TEST(ParseGroupList, OneNamePerLine)
{
    EXPECT_EQ((Names{"Accessories", "Main", "Startup"}), Parse("Accessories\r\nMain\r\nStartup\r\n"));
    EXPECT_EQ((Names{"Administrative Tools", "StartUp"}), Parse("Administrative Tools\r\nStartUp\r\n"));
    EXPECT_EQ((Names{"A, B (x)"}), Parse("A, B (x)\r\n"));
}

TEST(ParseGroupList, EmptyLinesAndOddBreaks)
{
    EXPECT_EQ((Names{""}), Parse("\r\n"));
    EXPECT_EQ((Names{}), Parse(""));
    EXPECT_EQ((Names{}), Parse("\n"));  // the first byte is never counted
    EXPECT_EQ((Names{"A", "", "B"}), Parse("A\r\n\r\nB\r\n"));
    // Runs of LF are one break: the counted entries beyond the names stay empty.
    EXPECT_EQ((Names{"A", "B", ""}), Parse("A\n\nB\n"));
    EXPECT_EQ((Names{"A", ""}), Parse("\n\nA\n"));
    EXPECT_EQ((Names{"A"}), Parse("A\rjunk\n"));
}

TEST(ParseGroupList, LastLineWithoutItsBreakIsKept)
{
    EXPECT_EQ((Names{"A", "B"}), Parse("A\r\nB"));
    EXPECT_EQ((Names{"A"}), Parse("A"));
    EXPECT_EQ((Names{"A"}), Parse("\nA"));
}

TEST(ParseGroupList, ReadsNoFurtherThanTheSizeOrTheNul)
{
    const char reply[] = {'A', '\r', '\n', 'B', '\r', '\n'};  // no NUL
    EXPECT_EQ((Names{"A"}), ParseGroupList(reply, 3));
    EXPECT_EQ((Names{"A", "B"}), ParseGroupList(reply, sizeof reply));
    EXPECT_EQ((Names{"A"}), ParseGroupList("A\r\n\0B\r\n", 8));
    EXPECT_EQ((Names{}), ParseGroupList(nullptr, 10));
}

namespace {

const std::string kHostileGroup = "X)][DeleteGroup(StartUp)][CreateGroup(Y";
const std::string kHostileCaption = "a)][DeleteGroup(StartUp)][CreateGroup(b";

typedef std::function<bool(std::string&)> Formatter;

Formatter CreateGroup(const std::string& name) { return [=](std::string& c) { return FormatCreateGroup(name, c); }; }
Formatter ShowGroup(const std::string& name, int show)
{
    return [=](std::string& c) { return FormatShowGroup(name, show, c); };
}
Formatter AddItem(const std::string& commandLine, const std::string& caption)
{
    return [=](std::string& c) { return FormatAddItem(ProgramItem{caption, commandLine}, c); };
}
Formatter DeleteItem(const std::string& caption) { return [=](std::string& c) { return FormatDeleteItem(caption, c); }; }
Formatter DeleteGroup(const std::string& name) { return [=](std::string& c) { return FormatDeleteGroup(name, c); }; }

}  // namespace

// Every argument in quotes, where the brackets, parentheses and commas of a
// hostile name are only characters.
TEST(ProgmanCommands, EveryArgumentIsQuoted)
{
    const std::pair<Formatter, std::string> rows[] = {
        {CreateGroup("Vantler, Inc."), "[CreateGroup(\"Vantler, Inc.\")]"},
        {CreateGroup(kHostileGroup), "[CreateGroup(\"" + kHostileGroup + "\")]"},
        {CreateGroup("Vantler\\Tools"), "[CreateGroup(\"Vantler\\Tools\")]"},
        {CreateGroup("Vantler, Inc.\\.. Tools"), "[CreateGroup(\"Vantler, Inc.\\.. Tools\")]"},
        {CreateGroup(std::string(63, 'g')), "[CreateGroup(\"" + std::string(63, 'g') + "\")]"},
        {ShowGroup("StartUp", 7), "[ShowGroup(\"StartUp\",7)]"},
        {AddItem("C:\\Program Files\\Vantler\\Tessel.exe", "Tessel"),
         "[AddItem(\"C:\\Program Files\\Vantler\\Tessel.exe\",\"Tessel\")]"},
        {AddItem("C:\\V\\" + kHostileCaption + ".exe", kHostileCaption),
         "[AddItem(\"C:\\V\\" + kHostileCaption + ".exe\",\"" + kHostileCaption + "\")]"},
        {AddItem("C:\\V\\x..exe", "x."), "[AddItem(\"C:\\V\\x..exe\",\"x.\")]"},
        // 17 characters of frame: [AddItem("","c")]
        {AddItem(std::string(1039 - 17, 'p'), "c"), "[AddItem(\"" + std::string(1039 - 17, 'p') + "\",\"c\")]"},
        {DeleteItem("Tessel Help"), "[DeleteItem(\"Tessel Help\")]"},
        {DeleteItem(kHostileCaption), "[DeleteItem(\"" + kHostileCaption + "\")]"},
        {DeleteGroup(kHostileGroup), "[DeleteGroup(\"" + kHostileGroup + "\")]"},
    };
    for (const auto& [format, expected] : rows) {
        std::string command;
        EXPECT_TRUE(format(command)) << expected;
        EXPECT_EQ(expected, command);
    }
}

// What cannot be quoted, addresses another folder than one group (or one
// item in it), or does not fit the buffers: nothing is formatted.
TEST(ProgmanCommands, RefusedArguments)
{
    const std::pair<Formatter, const char*> rows[] = {
        {CreateGroup("a\"b"), "a quote"},
        {CreateGroup("a\tb"), "a control character"},
        {CreateGroup("a\x7F"), "DEL"},
        {CreateGroup(""), "empty"},
        {CreateGroup("."), "."},
        {CreateGroup(".."), ".."},
        {CreateGroup(". ."), "dots and blanks"},
        {CreateGroup("..."), "dots only"},
        {CreateGroup("..\\StartUp"), "a parent part"},
        {CreateGroup("Vantler\\.."), "a parent part at the end"},
        {CreateGroup("Vantler\\.\\Tools"), "a dot part"},
        {CreateGroup("\\StartUp"), "a leading backslash"},
        {CreateGroup("Vantler\\"), "a trailing backslash"},
        {CreateGroup("Vantler\\\\Tools"), "an empty part"},
        {CreateGroup("a/b"), "a slash"},
        {CreateGroup("C:\\Windows"), "a drive"},
        {CreateGroup("Start*"), "a wildcard"},
        {CreateGroup("CON.\\Tools"), "a device part"},
        {CreateGroup("CONOUT$"), "a device"},
        {CreateGroup(std::string(64, 'g')), "64 characters"},
        {ShowGroup("..", 7), "show .."},
        {DeleteGroup(".."), "delete .."},
        {DeleteGroup(""), "delete the Programs folder"},
        {DeleteGroup("Start?p"), "delete by wildcard"},
        {AddItem("C:\\V\\a\"b.exe", "ab"), "a quote in the command line"},
        {AddItem("C:\\V\\a\r\nb.exe", "ab"), "a line break in the command line"},
        {AddItem("C:\\V\\a.exe", "a\"b"), "a quote in the caption"},
        {AddItem("C:\\V\\a.exe", ""), "an empty caption"},
        {AddItem("C:\\V\\a.exe", ".."), "caption .."},
        {AddItem("C:\\V\\a.exe", " . "), "caption of dots and blanks"},
        {AddItem("C:\\V\\a.exe", "..\\up"), "a backslash in the caption"},
        {AddItem("C:\\V\\a.exe", "sub/x"), "a slash in the caption"},
        {AddItem("C:\\V\\a.exe", "CON"), "a device caption"},
        {AddItem("C:\\V\\a.exe", "*"), "a wildcard caption"},
        {AddItem(std::string(1039 - 16, 'p'), "c"), "1,040 characters"},
        {DeleteItem("..\\StartUp\\mine"), "delete another group's item"},
        {DeleteItem("T*"), "delete by wildcard"},
        {DeleteItem(""), "delete an empty caption"},
    };
    for (const auto& [format, what] : rows) {
        std::string command = "unchanged";
        EXPECT_FALSE(format(command)) << what;
        EXPECT_EQ("unchanged", command) << what;
    }
}
