#include "tools/setupedit/manifest.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>

#include <nlohmann/json.hpp>

#include "model/install_mngr.h"
#include "model/little_endian.h"
#include "tools/setupedit/ansi.h"
#include "tools/setupedit/names.h"
#include "tools/setupedit/tool_error.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr std::uint64_t kDwordMax = 0xFFFFFFFFull;


class ManifestReader {
public:
    explicit ManifestReader(const fs::path& file) : m_file(file), m_base(file.parent_path()) {}

    Manifest Read();

private:
    [[noreturn]] void Fail(const std::string& field, const std::string& reason) const
    {
        throw ToolError(m_file.u8string() + ": " + field + ": " + reason);
    }
    static std::string Join(const std::string& field, const std::string& key)
    {
        return field.empty() ? key : field + "." + key;
    }

    void CheckObject(const json& j, const std::string& field, std::initializer_list<const char*> keys) const;
    std::string Text(const json& obj, const std::string& field, const char* key, bool required) const;
    std::uint64_t Number(const json& obj, const std::string& field, const char* key, std::uint64_t max,
                         std::uint64_t dflt) const;
    fs::path Source(const std::string& text, const std::string& field) const;
    std::uint32_t FileSize(const fs::path& p, const std::string& field) const;
    void ReadIdentity(const json& product, Manifest& m) const;
    void ReadInfoText(const std::string& ref, Manifest& m) const;
    void ReadTop(const json& root, const char* key, ManifestDir& dir, std::uint64_t& bytes) const;
    void ReadDir(const json& j, const std::string& field, ManifestDir& dir, const std::string& treePath,
                 std::uint64_t& bytes) const;

    fs::path m_file;
    fs::path m_base;
};

void ManifestReader::CheckObject(const json& j, const std::string& field,
                                 std::initializer_list<const char*> keys) const
{
    if (!j.is_object())
        Fail(field.empty() ? "(top level)" : field, "must be an object");
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool known = false;
        for (const char* k : keys)
            known = known || it.key() == k;
        if (!known)
            Fail(Join(field, it.key()), "unknown key");
    }
}

std::string ManifestReader::Text(const json& obj, const std::string& field, const char* key, bool required) const
{
    std::string name = Join(field, key);
    auto it = obj.find(key);
    if (it == obj.end()) {
        if (required)
            Fail(name, "is missing");
        return std::string();
    }
    if (!it->is_string())
        Fail(name, "must be a string");
    std::string ansi;
    if (!Utf8ToAnsi(it->get<std::string>(), ansi))
        Fail(name, "holds a character outside the Windows-1252 code page");
    return ansi;
}

// A JSON number, or a string "0x" and hex digits.
std::uint64_t ManifestReader::Number(const json& obj, const std::string& field, const char* key,
                                     std::uint64_t max, std::uint64_t dflt) const
{
    std::string name = Join(field, key);
    auto it = obj.find(key);
    if (it == obj.end())
        return dflt;
    std::uint64_t v = 0;
    if (it->is_number_unsigned()) {
        v = it->get<std::uint64_t>();
    } else if (it->is_string()) {
        std::string s = it->get<std::string>();
        if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X') ||
            s.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos)
            Fail(name, "\"" + s + "\" is not a number (decimal, or a string \"0x\" and hex digits)");
        v = std::stoull(s.substr(2), nullptr, 16);
    } else {
        Fail(name, "must be a non-negative integer or a \"0x...\" string");
    }
    if (v > max)
        Fail(name, std::to_string(v) + " is larger than " + std::to_string(max));
    return v;
}

fs::path ManifestReader::Source(const std::string& text, const std::string& field) const
{
    if (text.empty())
        Fail(field, "is empty");
    fs::path p = fs::u8path(text);
    if (p.is_relative())
        p = m_base / p;
    std::error_code ec;
    fs::file_status st = fs::status(p, ec);
    if (!fs::exists(st))
        Fail(field, p.u8string() + " does not exist");
    if (!fs::is_regular_file(st))
        Fail(field, p.u8string() + " is not a file");
    return p;
}

std::uint32_t ManifestReader::FileSize(const fs::path& p, const std::string& field) const
{
    std::error_code ec;
    std::uint64_t size = fs::file_size(p, ec);
    if (ec)
        Fail(field, p.u8string() + ": " + ec.message());
    if (size > kDwordMax)
        Fail(field, p.u8string() + " is " + std::to_string(size) +
                        " bytes; the install description holds sizes up to 4,294,967,295");
    return static_cast<std::uint32_t>(size);
}

void ManifestReader::ReadIdentity(const json& product, Manifest& m) const
{
    bool hasId = product.contains("productId");
    std::uint32_t id = static_cast<std::uint32_t>(Number(product, "product", "productId", kDwordMax, 0));
    if (product.contains("identity")) {
        std::string hex = Text(product, "product", "identity", true);
        if (hex.size() != 32 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            Fail("product.identity", "must be 32 hex digits (16 bytes)");
        for (int i = 0; i < 16; ++i)
            m.identity[i] = static_cast<std::uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
        std::uint32_t inBlock = ReadLE32(m.identity + 4);
        if (hasId && inBlock != id) {
            char buf[128];
            std::snprintf(buf, sizeof buf,
                          "bytes 4..7 read as a little-endian DWORD give 0x%08X, but product.productId is 0x%08X",
                          static_cast<unsigned>(inBlock), static_cast<unsigned>(id));
            Fail("product.identity", buf);
        }
    } else if (hasId) {
        for (int i = 0; i < 4; ++i)
            m.identity[4 + i] = static_cast<std::uint8_t>(id >> (8 * i));
    } else {
        Fail("product.productId", "is missing (give productId or identity)");
    }
}

void ManifestReader::ReadInfoText(const std::string& ref, Manifest& m) const
{
    fs::path p = Source(ref, "product.infoText");
    std::uint32_t size = FileSize(p, "product.infoText");
    if (size > kMaxInfoTextBytes)
        Fail("product.infoText", p.u8string() + " is larger than 1 MiB");
    std::ifstream in(p, std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        Fail("product.infoText", p.u8string() + " cannot be read");
    // Text written as UTF-8 is converted; any other bytes are taken as they are.
    if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0)
        raw.erase(0, 3);
    std::string ansi;
    if (Utf8ToAnsi(raw, ansi))
        raw = ansi;
    // The installer holds the text as a C string.
    if (raw.find('\0') != std::string::npos)
        Fail("product.infoText", p.u8string() + " contains a NUL byte");
    m.infoText = ToCrLf(raw);
}

void ManifestReader::ReadDir(const json& j, const std::string& field, ManifestDir& dir,
                             const std::string& treePath, std::uint64_t& bytes) const
{
    // Names already used in this directory, by files and subdirectories alike.
    std::vector<std::string> used;
    auto claim = [&](const std::string& name, const std::string& nameField) {
        std::string reason = CheckComponent(name);
        if (!reason.empty())
            Fail(nameField, "\"" + name + "\" " + reason);
        for (const std::string& u : used) {
            if (SameName(u, name))
                Fail(nameField, "\"" + name + "\" is already used in this directory");
        }
        used.push_back(name);
        std::string path = treePath.empty() ? name : treePath + "\\" + name;
        if (path.size() > kMaxTreePathLength)
            Fail(nameField, "the path " + path + " is longer than " + std::to_string(kMaxTreePathLength) +
                                " characters");
        return path;
    };

    if (j.contains("dirs")) {
        const json& dirs = j["dirs"];
        std::string df = Join(field, "dirs");
        if (!dirs.is_array())
            Fail(df, "must be an array");
        for (std::size_t i = 0; i < dirs.size(); ++i) {
            std::string f = df + "[" + std::to_string(i) + "]";
            CheckObject(dirs[i], f, {"name", "files", "dirs"});
            ManifestDir sub;
            sub.name = Text(dirs[i], f, "name", true);
            std::string path = claim(sub.name, f + ".name");
            ReadDir(dirs[i], f, sub, path, bytes);
            dir.dirs.push_back(std::move(sub));
        }
    }
    if (j.contains("files")) {
        const json& files = j["files"];
        std::string ff = Join(field, "files");
        if (!files.is_array())
            Fail(ff, "must be an array");
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string f = ff + "[" + std::to_string(i) + "]";
            CheckObject(files[i], f, {"source", "name", "flags"});
            ManifestFile file;
            file.field = f;
            std::string srcText = Text(files[i], f, "source", true);
            file.source = Source(files[i]["source"].get<std::string>(), f + ".source");
            if (files[i].contains("name")) {
                file.name = Text(files[i], f, "name", true);
            } else {
                std::size_t cut = srcText.find_last_of("/\\");
                file.name = cut == std::string::npos ? srcText : srcText.substr(cut + 1);
            }
            claim(file.name, files[i].contains("name") ? f + ".name" : f + ".source");
            if (files[i].contains("flags")) {
                const json& flags = files[i]["flags"];
                if (!flags.is_array())
                    Fail(f + ".flags", "must be an array of flag names");
                for (std::size_t k = 0; k < flags.size(); ++k) {
                    std::string fl = f + ".flags[" + std::to_string(k) + "]";
                    if (!flags[k].is_string())
                        Fail(fl, "must be a string");
                    std::string s = flags[k].get<std::string>();
                    std::uint32_t bit = 0;
                    for (const FileFlagName& n : FILE_FLAG_NAMES)
                        bit = s == n.pszName ? n.dwFlag : bit;
                    if (bit == 0)
                        Fail(fl, "\"" + s + "\" is not one of selfreg, selfreg-absent, shortcut, shared");
                    file.flags |= bit;
                }
            }
            file.size = FileSize(file.source, f + ".source");
            bytes += file.size;
            if (bytes > kDwordMax)
                Fail(f + ".source", "the files of this top-level directory exceed 4,294,967,295 bytes together");
            dir.files.push_back(std::move(file));
        }
    }
}

void ManifestReader::ReadTop(const json& root, const char* key, ManifestDir& dir, std::uint64_t& bytes) const
{
    if (!root.contains(key))
        return;
    CheckObject(root[key], key, {"files", "dirs"});
    ReadDir(root[key], key, dir, std::string(), bytes);
}

Manifest ManifestReader::Read()
{
    std::ifstream in(m_file, std::ios::binary);
    if (!in)
        throw ToolError(m_file.u8string() + ": cannot be opened");
    // The parser would keep the last of two equal keys silently; a manifest
    // that says a thing twice is more likely a mistake than a correction.
    std::vector<std::vector<std::string>> keys;
    std::string duplicate;
    auto watch = [&](int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::object_start) {
            keys.emplace_back();
        } else if (event == json::parse_event_t::object_end && !keys.empty()) {
            keys.pop_back();
        } else if (event == json::parse_event_t::key && !keys.empty()) {
            std::string key = parsed.get<std::string>();
            std::vector<std::string>& seen = keys.back();
            if (duplicate.empty() && std::find(seen.begin(), seen.end(), key) != seen.end())
                duplicate = key;
            seen.push_back(key);
        }
        return true;
    };
    json root;
    try {
        root = json::parse(in, watch);
    } catch (const json::parse_error& e) {
        throw ToolError(m_file.u8string() + ": not valid JSON: " + e.what());
    }
    if (!duplicate.empty())
        throw ToolError(m_file.u8string() + ": the key \"" + duplicate + "\" appears twice in one object");

    CheckObject(root, "", {"product", "mediaType", "extraBytes", "opaqueWord", "opaqueDword", "setupExe",
                           "uninstaller", "application", "system"});
    Manifest m;
    if (!root.contains("product"))
        Fail("product", "is missing");
    const json& product = root["product"];
    CheckObject(product, "product",
                {"title", "productId", "identity", "programFolder", "destDir", "infoTitle", "infoText"});
    ReadIdentity(product, m);

    m.title = Text(product, "product", "title", true);
    if (m.title.empty() || m.title.find('\\') != std::string::npos || m.title.size() > 200)
        Fail("product.title", "must be 1 to 200 characters without a backslash (it names a registry key)");
    m.programFolder = Text(product, "product", "programFolder", true);
    std::string reason = CheckComponent(m.programFolder);
    if (!reason.empty())
        Fail("product.programFolder", "\"" + m.programFolder + "\" " + reason);

    m.destDir = Text(product, "product", "destDir", true);
    if (m.destDir.size() < 2 || m.destDir[0] != '\\')
        Fail("product.destDir", "must begin with a backslash and name a directory, as \\Vantler");
    if (m.destDir.size() > kMaxDestDirLength)
        Fail("product.destDir", "is longer than " + std::to_string(kMaxDestDirLength) + " characters");
    for (std::size_t at = 1; at <= m.destDir.size();) {
        std::size_t end = std::min(m.destDir.find('\\', at), m.destDir.size());
        std::string part = m.destDir.substr(at, end - at);
        reason = CheckComponent(part);
        if (!reason.empty())
            Fail("product.destDir", "component \"" + part + "\" " + reason);
        at = end + 1;
    }

    m.infoTitle = Text(product, "product", "infoTitle", false);
    if (product.contains("infoText")) {
        Text(product, "product", "infoText", true);
        ReadInfoText(product["infoText"].get<std::string>(), m);
    }

    if (!root.contains("mediaType"))
        Fail("mediaType", "is missing");
    m.mediaType = static_cast<int>(Number(root, "", "mediaType", 3, 0));
    m.extraBytes = static_cast<std::uint32_t>(Number(root, "", "extraBytes", kDwordMax, 0));
    m.opaqueWord = static_cast<std::uint16_t>(Number(root, "", "opaqueWord", 0xFFFF, 0));
    m.opaqueDword = static_cast<std::uint32_t>(Number(root, "", "opaqueDword", kDwordMax, 0));

    if (root.contains("setupExe")) {
        Text(root, "", "setupExe", true);
        m.setupExe = Source(root["setupExe"].get<std::string>(), "setupExe");
        m.hasSetupExe = true;
    }
    Text(root, "", "uninstaller", true);
    m.uninstaller = Source(root["uninstaller"].get<std::string>(), "uninstaller");
    m.uninstBytes = FileSize(m.uninstaller, "uninstaller");

    std::uint64_t app = 0, sys = 0;
    m.application.name = ROOT_APPLICATION_NAME;
    m.system.name = ROOT_SYSTEM_NAME;
    ReadTop(root, "application", m.application, app);
    ReadTop(root, "system", m.system, sys);
    m.appBytes = static_cast<std::uint32_t>(app);
    m.sysBytes = static_cast<std::uint32_t>(sys);

    // The installer adds these up in 32 bits: the progress total and the
    // space asked for on the destination drive.
    if (app + sys + m.uninstBytes > kDwordMax)
        Fail("application", "application, system and uninstaller bytes exceed 4,294,967,295 together");
    if (app + m.uninstBytes + m.extraBytes > kDwordMax)
        Fail("extraBytes", "application, uninstaller and extra bytes exceed 4,294,967,295 together");
    return m;
}

void Collect(const ManifestDir& dir, std::vector<const ManifestFile*>& out)
{
    for (const ManifestDir& sub : dir.dirs)
        Collect(sub, out);
    for (const ManifestFile& f : dir.files)
        out.push_back(&f);
}

}  // namespace

Manifest LoadManifest(const fs::path& file)
{
    return ManifestReader(file).Read();
}

std::vector<const ManifestFile*> PayloadOrder(const Manifest& m)
{
    std::vector<const ManifestFile*> out;
    Collect(m.application, out);
    Collect(m.system, out);
    return out;
}
