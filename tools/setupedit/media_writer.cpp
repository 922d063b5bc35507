#include "tools/setupedit/media_writer.h"

#include <cstring>
#include <map>

#include "model/install_mngr.h"
#include "tools/setupedit/checksums.h"
#include "tools/setupedit/pe_version.h"
#include "tools/setupedit/staged_output.h"
#include "tools/setupedit/tool_error.h"
#include "tools/setupedit/volume_plan.h"
#include "tools/setupedit/volume_writer.h"

namespace fs = std::filesystem;

namespace {

void AddDir(CSetupEdit& ed, InstallNode& node, const ManifestDir& dir,
            std::map<const CInstalledFile*, const ManifestFile*>& sources)
{
    for (const ManifestDir& sub : dir.dirs)
        AddDir(ed, *ed.AddDirectory(node, sub.name), sub, sources);
    for (const ManifestFile& f : dir.files) {
        CInstalledFile* file = ed.AddFile(node, f.name, f.size, f.flags);
        ReadFixedVersionOfFile(f.source, file->m_VersionInfo);
        sources[file] = &f;
    }
}

void CopyInto(const fs::path& from, const fs::path& to, std::uint64_t expectedSize)
{
    std::error_code ec;
    fs::copy_file(from, to, ec);
    if (ec)
        throw ToolError(from.u8string() + ": cannot be copied to " + to.string() + ": " + ec.message());
    if (fs::file_size(to, ec) != expectedSize || ec)
        throw ToolError(from.u8string() + ": changed its size while the media were written");
}

void WriteDescription(CSetupEdit& ed, const fs::path& path)
{
    std::string name = path.string();
    try {
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        ed.StoreRecord(file);
        file.Close();
    } catch (const CFileException& e) {
        throw ToolError(name + ": cannot be written (error " + std::to_string(e.m_lOsError) + ")");
    }
}

}  // namespace

void FillDescription(const Manifest& m, CSetupEdit& ed,
                     std::vector<std::pair<const CInstalledFile*, const ManifestFile*>>* sources)
{
    std::map<const CInstalledFile*, const ManifestFile*> map;
    ed.ClearTree();
    InstallNode& root = ed.GetRoot();
    AddDir(ed, *ed.AddDirectory(root, m.application.name), m.application, map);
    AddDir(ed, *ed.AddDirectory(root, m.system.name), m.system, map);

    std::memcpy(ed.m_abIdentity, m.identity, sizeof ed.m_abIdentity);
    ed.m_nMediaType = m.mediaType;
    ed.m_wOpaque = m.opaqueWord;
    ed.m_dwAppBytes = m.appBytes;
    ed.m_dwSysBytes = m.sysBytes;
    ed.m_dwOpaque = m.opaqueDword;
    ed.m_dwUninstBytes = m.uninstBytes;
    ed.m_dwExtraBytes = m.extraBytes;
    ed.m_strDestDir = m.destDir;
    ed.m_strProductTitle = m.title;
    ed.m_strProgramFolder = m.programFolder;
    ed.m_strInfoTitle = m.infoTitle;
    ed.SetInfoText(m.infoText.c_str());
    if (ed.m_dwInfoTextLen != m.infoText.size())
        throw ToolError("out of memory for the information text");

    if (sources) {
        // The payload follows the description's own walk, whatever order
        // the objects were added in.
        sources->clear();
        CObject* item;
        for (int r = ed.GetFirstItem(item); r != TREE_END; r = ed.GetNextItem(item)) {
            if (r == TREE_FILE) {
                const CInstalledFile* file = static_cast<const CInstalledFile*>(item);
                sources->emplace_back(file, map.at(file));
            }
        }
    }
}

BuildSummary BuildMedia(const Manifest& m, const fs::path& out)
{
    BuildSummary summary;
    summary.payload = static_cast<std::uint64_t>(m.appBytes) + m.sysBytes;
    PlanVolumes(m.mediaType, summary.payload);  // refuses what the type cannot hold, before anything is written

    CSetupEdit ed;
    std::vector<std::pair<const CInstalledFile*, const ManifestFile*>> sources;
    FillDescription(m, ed, &sources);
    summary.files = sources.size();

    StagedOutput stage(out);
    fs::path disk1 = DiskFolder(stage.Dir(), 0);
    std::error_code ec;
    fs::create_directories(disk1, ec);
    if (ec)
        throw ToolError(disk1.string() + ": cannot be created");
    // Disk 1's other files first: what they leave on the floppy bounds the first volume.
    WriteDescription(ed, disk1 / DESCRIPTION_FILE_NAME);
    summary.setupDatBytes = fs::file_size(disk1 / DESCRIPTION_FILE_NAME);
    std::uint64_t otherBytes = ClusterBytes(summary.setupDatBytes) + ClusterBytes(m.uninstBytes) +
                               ClusterBytes(ChecksumFileSize(sources.size()));
    CopyInto(m.uninstaller, disk1 / UNINSTALLER_SOURCE_NAME, m.uninstBytes);
    // The checksums are of the bytes on the medium: the files as copied, the
    // payload as it was appended.
    CMediumChecksums sums;
    sums.m_entries.push_back(ChecksumOfFile(disk1 / DESCRIPTION_FILE_NAME));
    sums.m_entries.push_back(ChecksumOfFile(disk1 / UNINSTALLER_SOURCE_NAME));
    if (m.hasSetupExe) {
        const std::uint64_t setupBytes = fs::file_size(m.setupExe, ec);
        CopyInto(m.setupExe, disk1 / SETUP_PROGRAM_NAME, setupBytes);
        otherBytes += ClusterBytes(setupBytes);
    }
    const std::uint64_t firstCapacity = FirstVolumeCapacity(m.mediaType, otherBytes);
    const std::vector<std::uint64_t> plan = PlanVolumes(m.mediaType, summary.payload, firstCapacity);
    {
        VolumeWriter volumes(stage.Dir(), VolumeCapacity(m.mediaType), firstCapacity);
        for (const auto& s : sources)
            sums.m_entries.push_back(volumes.AppendFile(s.second->source, s.first->m_dwSize));
        summary.volumes = volumes.Finish();
    }
    if (summary.volumes != plan)
        throw ToolError("internal error: the volumes written differ from the plan");
    WriteChecksumFile(disk1, sums);
    stage.Commit();
    return summary;
}
