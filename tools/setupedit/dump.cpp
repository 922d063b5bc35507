#include "tools/setupedit/dump.h"

#include <cstdio>
#include <vector>

#include "model/install_mngr.h"
#include "tools/setupedit/ansi.h"
#include "tools/setupedit/grouped.h"
#include "tools/setupedit/pe_version.h"
#include "tools/setupedit/tree_walk.h"
#include "tools/setupedit/volume_plan.h"

using nlohmann::json;

namespace {

std::string Hex(const BYTE* p, std::size_t n)
{
    std::string s;
    char buf[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", p[i]);
        s += buf;
    }
    return s;
}

std::string ProductIdText(CSetupEdit& ed)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(ed.GetProductId()));
    return buf;
}

// The product version, or "-" for a file without a version record.
std::string VersionColumn(const BYTE* record)
{
    for (std::size_t i = 0; i < kVersionRecordSize; ++i) {
        if (record[i])
            return ProductVersionString(record);
    }
    return "-";
}

std::uint64_t PayloadBytes(const std::vector<TreeEntry>& entries)
{
    std::uint64_t total = 0;
    for (const TreeEntry& e : entries)
        total += e.file ? e.file->m_dwSize : 0;
    return total;
}

}  // namespace

std::string FlagNames(unsigned flags)
{
    std::string s;
    for (const FileFlagName& n : FILE_FLAG_NAMES) {
        if (flags & n.dwFlag)
            s += std::string(s.empty() ? "" : " ") + n.pszName;
    }
    if (flags & ~0xFu) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%s0x%X", s.empty() ? "" : " ", flags & ~0xFu);
        s += buf;
    }
    return s;
}

void DumpText(CSetupEdit& ed, const std::string& fileName, std::ostream& out)
{
    std::vector<TreeEntry> entries = WalkTree(ed);
    std::uint64_t payload = PayloadBytes(entries);
    out << fileName << "\n";
    out << "  identity        " << Hex(ed.m_abIdentity, sizeof ed.m_abIdentity) << " (product "
        << ProductIdText(ed) << ")\n";
    out << "  title           " << AnsiToUtf8(ed.m_strProductTitle) << "\n";
    out << "  program folder  " << AnsiToUtf8(ed.m_strProgramFolder) << "\n";
    out << "  destination     " << AnsiToUtf8(ed.m_strDestDir) << "\n";
    out << "  media type      " << ed.m_nMediaType;
    if (!IsValidMediaType(ed.m_nMediaType))
        out << " (not a valid media type)";
    else if (VolumeCapacity(ed.m_nMediaType))
        out << " (volumes of " << Grouped(VolumeCapacity(ed.m_nMediaType)) << " payload bytes)";
    else
        out << " (one volume)";
    out << "\n";
    out << "  opaque values   word " << ed.m_wOpaque << ", dword " << ed.m_dwOpaque << "\n";
    out << "  bytes           application " << Grouped(ed.m_dwAppBytes) << ", system " << Grouped(ed.m_dwSysBytes)
        << ", uninstaller " << Grouped(ed.m_dwUninstBytes) << ", extra " << Grouped(ed.m_dwExtraBytes) << "\n";
    out << "  payload         " << Grouped(payload) << " bytes in the files below\n";
    out << "  info title      " << AnsiToUtf8(ed.m_strInfoTitle) << "\n";
    out << "  info text       " << Grouped(ed.m_dwInfoTextLen) << " bytes\n";
    if (ed.m_pInfoText) {
        std::string text = AnsiToUtf8(std::string(ed.m_pInfoText, ed.m_dwInfoTextLen));
        std::size_t at = 0;
        while (at <= text.size()) {
            std::size_t end = text.find("\r\n", at);
            if (end == std::string::npos)
                end = text.size();
            if (end == text.size() && at == end)
                break;
            out << "    | " << text.substr(at, end - at) << "\n";
            at = end + 2;
        }
    }
    out << "  tree            (size, product version, flags)\n";
    for (const TreeEntry& e : entries) {
        std::string indent(4 + 2 * e.depth, ' ');
        if (e.isDir) {
            out << indent << (e.dir ? AnsiToUtf8(e.dir->m_strName) : std::string("(no directory object)")) << "\\\n";
        } else {
            std::string name = AnsiToUtf8(e.file->m_strName);
            out << indent << name;
            std::size_t col = indent.size() + name.size();
            out << std::string(col < 40 ? 40 - col : 1, ' ') << Grouped(e.file->m_dwSize) << "  "
                << VersionColumn(e.file->m_VersionInfo);
            std::string flags = FlagNames(e.file->m_dwFlags);
            if (!flags.empty())
                out << "  " << flags;
            out << "\n";
        }
    }
}

json DumpJson(CSetupEdit& ed)
{
    std::vector<TreeEntry> entries = WalkTree(ed);
    json j;
    j["identity"] = Hex(ed.m_abIdentity, sizeof ed.m_abIdentity);
    j["productId"] = ProductIdText(ed);
    j["title"] = AnsiToUtf8(ed.m_strProductTitle);
    j["programFolder"] = AnsiToUtf8(ed.m_strProgramFolder);
    j["destDir"] = AnsiToUtf8(ed.m_strDestDir);
    j["infoTitle"] = AnsiToUtf8(ed.m_strInfoTitle);
    j["infoText"] = ed.m_pInfoText ? AnsiToUtf8(std::string(ed.m_pInfoText, ed.m_dwInfoTextLen)) : std::string();
    j["infoTextBytes"] = ed.m_dwInfoTextLen;
    j["mediaType"] = ed.m_nMediaType;
    j["opaqueWord"] = ed.m_wOpaque;
    j["opaqueDword"] = ed.m_dwOpaque;
    j["appBytes"] = ed.m_dwAppBytes;
    j["sysBytes"] = ed.m_dwSysBytes;
    j["uninstBytes"] = ed.m_dwUninstBytes;
    j["extraBytes"] = ed.m_dwExtraBytes;
    j["payloadBytes"] = PayloadBytes(entries);
    json dirs = json::array(), files = json::array();
    for (const TreeEntry& e : entries) {
        if (e.isDir) {
            dirs.push_back(AnsiToUtf8(e.path));
            continue;
        }
        const CInstalledFile* f = e.file;
        json fl = json::array();
        for (unsigned bit = 1; bit <= 8; bit <<= 1) {
            if (f->m_dwFlags & bit)
                fl.push_back(FlagNames(bit));
        }
        files.push_back({{"path", AnsiToUtf8(e.path)},
                         {"name", AnsiToUtf8(f->m_strName)},
                         {"flags", f->m_dwFlags},
                         {"flagNames", fl},
                         {"size", f->m_dwSize},
                         {"productVersion", ProductVersionString(f->m_VersionInfo)},
                         {"fileVersion", FileVersionString(f->m_VersionInfo)},
                         {"versionRecord", Hex(f->m_VersionInfo, sizeof f->m_VersionInfo)}});
    }
    j["dirs"] = dirs;
    j["files"] = files;
    return j;
}
