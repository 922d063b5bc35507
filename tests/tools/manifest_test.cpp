// Reading manifests: the fields that reach the install description, and
// every kind of mistake, each reported with the field that holds it.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/manifest_fixture.h"
#include "tools/setupedit/manifest.h"
#include "tools/setupedit/names.h"
#include "tools/setupedit/tool_error.h"

using nlohmann::json;

namespace {

class ManifestTest : public ::testing::Test {
protected:
    // The message of the failure that loading j gives ("" when it loads).
    std::string ErrorOf(const json& j)
    {
        try {
            LoadManifest(m_folder.Write(j));
        } catch (const ToolError& e) {
            return e.what();
        }
        return std::string();
    }
    void ExpectError(const json& j, const std::string& field, const std::string& reason)
    {
        std::string msg = ErrorOf(j);
        EXPECT_NE(std::string::npos, msg.find(": " + field + ": ")) << field << " / " << reason << " / " << msg;
        EXPECT_NE(std::string::npos, msg.find(reason)) << msg;
    }

    ManifestFolder m_folder;
};

TEST_F(ManifestTest, ReadsEveryField)
{
    Manifest m = LoadManifest(m_folder.Write(m_folder.Valid()));
    const std::uint8_t id[16] = {0, 0, 0, 0, 0x52, 0x4C, 0x54, 0x56};
    EXPECT_EQ(0, std::memcmp(id, m.identity, 16));
    EXPECT_EQ("Vantler", m.title);
    EXPECT_EQ("\\Vantler", m.destDir);
    EXPECT_EQ("Welcome\r\nto the product.\r\n", m.infoText);
    EXPECT_EQ(2, m.mediaType);
    EXPECT_EQ(7u, m.extraBytes);
    EXPECT_EQ(258u, m.opaqueWord);
    EXPECT_EQ(3u, m.opaqueDword);
    EXPECT_FALSE(m.hasSetupExe);
    EXPECT_EQ(300u, m.uninstBytes);
    EXPECT_EQ(1000u + 2000u + 26u, m.appBytes);
    EXPECT_EQ(500u, m.sysBytes);

    std::vector<const ManifestFile*> order = PayloadOrder(m);
    ASSERT_EQ(4u, order.size());
    EXPECT_EQ("read.txt", order[0]->name);  // subdirectories before a directory's files
    EXPECT_EQ("tool.exe", order[1]->name);
    EXPECT_EQ(4u, order[1]->flags);
    EXPECT_EQ("Lib.ocx", order[2]->name);
    EXPECT_EQ(9u, order[2]->flags);
    EXPECT_EQ("rt.dll", order[3]->name);
    EXPECT_EQ(10u, order[3]->flags);
}

TEST_F(ManifestTest, IdentityBlockAndProductId)
{
    json j = m_folder.Valid();
    j["product"]["identity"] = "0102030452544C56090a0b0c0d0e0f10";
    j["product"]["productId"] = 0x564C5452;
    Manifest m = LoadManifest(m_folder.Write(j));
    EXPECT_EQ(0x01, m.identity[0]);
    EXPECT_EQ(0x10, m.identity[15]);

    j["product"]["productId"] = "0x56544C52";
    ExpectError(j, "product.identity", "0x564C5452, but product.productId is 0x56544C52");
    j["product"].erase("productId");
    j["product"]["identity"] = "0102";
    ExpectError(j, "product.identity", "32 hex digits");
    j["product"].erase("identity");
    ExpectError(j, "product.productId", "is missing");
}

TEST_F(ManifestTest, UnknownKeysAndWrongTypesAreNamed)
{
    json j = m_folder.Valid();
    j["mediatype"] = 1;
    ExpectError(j, "mediatype", "unknown key");
    j = m_folder.Valid();
    j["product"]["color"] = "red";
    ExpectError(j, "product.color", "unknown key");
    j = m_folder.Valid();
    j["application"]["dirs"][0]["files"][0]["size"] = 3;
    ExpectError(j, "application.dirs[0].files[0].size", "unknown key");
    j = m_folder.Valid();
    j["product"]["title"] = 5;
    ExpectError(j, "product.title", "must be a string");
    j = m_folder.Valid();
    j["application"]["files"] = json::object();
    ExpectError(j, "application.files", "must be an array");
    j = m_folder.Valid();
    j.erase("uninstaller");
    ExpectError(j, "uninstaller", "is missing");
    j = m_folder.Valid();
    j["application"]["files"][0]["flags"] = {"shortcut", "hidden"};
    ExpectError(j, "application.files[0].flags[1]", "\"hidden\" is not one of");
    j = m_folder.Valid();
    j["product"]["title"] = "\xE6\x97\xA5\xE6\x9C\xAC";
    ExpectError(j, "product.title", "outside the Windows-1252 code page");
    EXPECT_NE(std::string::npos, ErrorOf(json::parse("[1]")).find("must be an object"));
    m_folder.Put("bad.json", "{ \"product\": ");
    EXPECT_THROW(LoadManifest(m_folder.Path("bad.json")), ToolError);
    std::string twice = m_folder.Valid().dump();
    twice.insert(1, "\"mediaType\": 1, ");
    m_folder.Put("twice.json", twice);
    try {
        LoadManifest(m_folder.Path("twice.json"));
        ADD_FAILURE() << "a key given twice was accepted";
    } catch (const ToolError& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("the key \"mediaType\" appears twice")) << e.what();
    }
}

TEST_F(ManifestTest, NumbersAndMediaType)
{
    json j = m_folder.Valid();
    j["mediaType"] = 4;
    ExpectError(j, "mediaType", "4 is larger than 3");
    j["mediaType"] = -1;
    ExpectError(j, "mediaType", "non-negative integer");
    j["mediaType"] = "two";
    ExpectError(j, "mediaType", "is not a number");
    j.erase("mediaType");
    ExpectError(j, "mediaType", "is missing");
    j = m_folder.Valid();
    j["opaqueWord"] = 65536;
    ExpectError(j, "opaqueWord", "larger than 65535");
    j["opaqueWord"] = "0xFFFF";
    j["extraBytes"] = 4294967296;
    ExpectError(j, "extraBytes", "larger than 4294967295");
    j["extraBytes"] = "0xFFFFFFFF";
    ExpectError(j, "extraBytes", "application, uninstaller and extra bytes exceed");
}

TEST_F(ManifestTest, SourcesMustExistAndBeFiles)
{
    json j = m_folder.Valid();
    j["application"]["files"][1]["source"] = "bin/missing.ocx";
    ExpectError(j, "application.files[1].source", "missing.ocx does not exist");
    j["application"]["files"][1]["source"] = "bin";
    ExpectError(j, "application.files[1].source", "is not a file");
    j = m_folder.Valid();
    j["uninstaller"] = "nothing.exe";
    ExpectError(j, "uninstaller", "does not exist");
    j = m_folder.Valid();
    j["product"]["infoText"] = "nothing.txt";
    ExpectError(j, "product.infoText", "does not exist");
    j = m_folder.Valid();
    j["setupExe"] = "nothing.exe";
    ExpectError(j, "setupExe", "does not exist");
    // Absolute paths are taken as they are.
    j = m_folder.Valid();
    j["application"]["files"][0]["source"] = m_folder.Path("bin/tool.exe");
    EXPECT_EQ("", ErrorOf(j));
}

TEST_F(ManifestTest, SizesAndTotalsBeyond32Bits)
{
    std::filesystem::resize_file(m_folder.Put("big1.bin", ""), 0x100000000ull);
    json j = m_folder.Valid();
    j["application"]["files"][0]["source"] = "big1.bin";
    ExpectError(j, "application.files[0].source", "is 4294967296 bytes");

    std::filesystem::resize_file(m_folder.Put("half1.bin", ""), 0x80000000ull);
    std::filesystem::resize_file(m_folder.Put("half2.bin", ""), 0x80000000ull);
    j = m_folder.Valid();
    j["system"]["files"] = {{{"source", "half1.bin"}}, {{"source", "half2.bin"}}};
    ExpectError(j, "system.files[1].source", "exceed 4,294,967,295 bytes together");
    j["system"]["files"] = {{{"source", "half1.bin"}}};
    j["application"]["files"][0]["source"] = "half2.bin";
    ExpectError(j, "application", "application, system and uninstaller bytes exceed");
}

TEST_F(ManifestTest, NamesMustBePlainComponents)
{
    const char* bad[] = {"", ".", "..", "a\\b", "a/b", "c:", "a*", "a?", "a\"b", "<a", "a>", "a|b",
                         "tab\tname", "trail.", "trail ", "CON", "nul.txt", "Com1", "lpt9.dat"};
    for (const char* name : bad) {
        json j = m_folder.Valid();
        j["application"]["dirs"][0]["name"] = name;
        ExpectError(j, "application.dirs[0].name", "\"" + std::string(name) + "\" ");
        std::string msg = ErrorOf(j), quoted = "\"" + std::string(name) + "\"";
        EXPECT_EQ(msg.find(quoted), msg.rfind(quoted)) << msg;  // the name is quoted once
        j = m_folder.Valid();
        j["application"]["files"][1]["name"] = name;
        ExpectError(j, "application.files[1].name", "\"" + std::string(name) + "\" ");
    }
    json j = m_folder.Valid();
    j["application"]["dirs"][0]["name"] = std::string(kMaxNameLength, 'd');
    EXPECT_EQ("", ErrorOf(j));
    j["application"]["dirs"][0]["name"] = std::string(kMaxNameLength + 1, 'd');
    ExpectError(j, "application.dirs[0].name", "longer than 100 characters");

    // Three levels of names, each allowed, exceed the tree path limit together.
    j = m_folder.Valid();
    json inner = {{"name", std::string(100, 'c')}, {"files", {{{"source", "doc/read.txt"}}}}};
    json mid = {{"name", std::string(100, 'b')}, {"dirs", {inner}}};
    j["system"]["dirs"] = {{{"name", "a"}, {"dirs", {mid}}}};
    ExpectError(j, "system.dirs[0].dirs[0].dirs[0].name", "longer than 200 characters");
    EXPECT_EQ("", CheckComponent("Vantler Help.hlp"));
}

TEST_F(ManifestTest, DuplicateNamesInOneDirectory)
{
    json j = m_folder.Valid();
    j["application"]["files"][1]["name"] = "TOOL.EXE";
    ExpectError(j, "application.files[1].name", "\"TOOL.EXE\" is already used in this directory");
    j = m_folder.Valid();
    j["application"]["files"][1]["name"] = "docs";  // the name of a subdirectory
    ExpectError(j, "application.files[1].name", "already used");
    j = m_folder.Valid();
    j["application"]["dirs"][1] = {{"name", "Docs"}};
    ExpectError(j, "application.dirs[1].name", "already used");
    // The same name in another directory is fine; case folding covers the code page's letters.
    j = m_folder.Valid();
    j["system"]["files"][0]["name"] = "tool.exe";
    EXPECT_EQ("", ErrorOf(j));
    j["application"]["files"][0]["name"] = "\xC3\xA9t\xC3\xA9.exe";
    j["application"]["files"][1]["name"] = "\xC3\x89T\xC3\x89.EXE";
    ExpectError(j, "application.files[1].name", "already used");
}

TEST_F(ManifestTest, DestinationAndProgramFolder)
{
    json j = m_folder.Valid();
    for (const char* bad : {"Vantler", "\\", "\\a\\\\b", "\\a\\..", "\\a\\", "C:\\Vantler"}) {
        j["product"]["destDir"] = bad;
        EXPECT_NE(std::string::npos, ErrorOf(j).find(": product.destDir: ")) << bad;
    }
    j["product"]["destDir"] = "\\" + std::string(kMaxDestDirLength - 1, 'v');
    EXPECT_EQ("", ErrorOf(j));
    j["product"]["destDir"] = "\\" + std::string(kMaxDestDirLength, 'v');
    ExpectError(j, "product.destDir", "longer than 44");
    j = m_folder.Valid();
    j["product"]["programFolder"] = "A/B";
    ExpectError(j, "product.programFolder", "'/'");
    j["product"]["programFolder"] = "Vantler";
    j["product"]["title"] = "Van\\tler";
    ExpectError(j, "product.title", "without a backslash");
}

}  // namespace
