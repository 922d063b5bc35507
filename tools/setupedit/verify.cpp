#include "tools/setupedit/verify.h"

#include <cstdio>

#include "model/install_mngr.h"
#include "model/little_endian.h"
#include "tools/setupedit/ansi.h"
#include "tools/setupedit/checksums.h"
#include "tools/setupedit/description_file.h"
#include "tools/setupedit/grouped.h"
#include "tools/setupedit/tree_walk.h"
#include "tools/setupedit/volume_plan.h"

namespace fs = std::filesystem;

namespace {

// Sums of the file sizes below each first-level directory and in all.
struct TreeSums {
    std::uint64_t top[2] = {0, 0};
    std::uint64_t total = 0;
    std::size_t files = 0;
};

// Bytes that the files of a folder take on a FAT floppy: whole 512-byte clusters.
std::uint64_t FloppyBytes(const fs::path& dir)
{
    std::uint64_t total = 0;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::uint64_t size = it->is_regular_file(ec) ? it->file_size(ec) : 0;
        total += ClusterBytes(size);
    }
    return total;
}

TreeSums SumTree(CSetupEdit& ed)
{
    TreeSums sums;
    int depth = 0, topIndex = -1, topSeen = -1;
    CObject* item;
    for (int r = ed.GetFirstItem(item); r != TREE_END; r = ed.GetNextItem(item)) {
        if (r == TREE_ENTER) {
            if (depth++ == 0)
                topIndex = ++topSeen;
        } else if (r == TREE_LEAVE) {
            if (--depth == 0)
                topIndex = -1;
        } else if (r == TREE_FILE) {
            DWORD size = static_cast<CInstalledFile*>(item)->m_dwSize;
            if (topIndex == 0 || topIndex == 1)
                sums.top[topIndex] += size;
            sums.total += size;
            ++sums.files;
        }
    }
    return sums;
}

std::string TopName(CSetupEdit& ed, int index)
{
    POSITION pos = ed.GetRoot().children.FindIndex(index);
    if (!pos)
        return std::string();
    InstallNode* node = ed.GetRoot().children.GetAt(pos);
    return node->dir ? node->dir->m_strName : std::string();
}

std::string Volumes(const std::vector<fs::path>& disks, const VolumeSpan& span)
{
    const std::string first = (disks[span.first] / DATA_FILE_NAME).string();
    if (span.first == span.last)
        return "volume " + std::to_string(span.first) + " (" + first + ")";
    const char* const joint = span.last == span.first + 1 ? " and " : " to ";
    return "volumes " + std::to_string(span.first) + joint + std::to_string(span.last) + " (" + first + joint +
           (disks[span.last] / DATA_FILE_NAME).string() + ")";
}

// Every file against disk 1's checksum file, when there is one: Setup.dat
// and _Uninst.ex_ always, the files of the tree when the volumes are sound
// enough to be read.
void CheckChecksums(const std::vector<fs::path>& disks, CSetupEdit& ed, bool volumesSound, VerifyReport& rep)
{
    const fs::path path = disks[0] / CHECKSUM_FILE_NAME;
    std::error_code ec;
    if (!fs::exists(path, ec))
        return;
    rep.sealed = true;
    CMediumChecksums recorded;
    try {
        CFile file(path.string().c_str(), CFile::modeRead | CFile::shareDenyWrite);
        switch (recorded.Load(file)) {
        case CMediumChecksums::LOADED:
            break;
        case CMediumChecksums::UNKNOWN_VERSION:
            rep.problems.push_back(path.string() + ": a format version this setupedit does not know");
            return;
        default:
            rep.problems.push_back(path.string() + ": damaged: its signature, length or own checksum is wrong");
            return;
        }
    } catch (const CFileException& e) {
        rep.problems.push_back(path.string() + ": cannot be read (error " + std::to_string(e.m_lOsError) + ")");
        return;
    }
    if (!recorded.MatchesDescription(ed)) {
        const std::size_t listed = recorded.m_entries.size() - CHECKSUM_FIRST_FILE;
        rep.problems.push_back(path.string() + ": belongs to another description: " +
                               (listed != rep.files ? "it lists " + std::to_string(listed) + " files, Setup.dat " +
                                                          std::to_string(rep.files)
                                                    : std::string("the sizes it lists differ from Setup.dat's")));
        return;
    }
    auto damaged = [&](const std::string& what) {
        rep.problems.push_back(what + ": damaged: its bytes differ from their checksum in " + CHECKSUM_FILE_NAME);
    };
    const char* const DISK1_FILES[] = {DESCRIPTION_FILE_NAME, UNINSTALLER_SOURCE_NAME};
    for (int i = CHECKSUM_DESCRIPTION; i <= CHECKSUM_UNINSTALLER; ++i) {
        const fs::path file = disks[0] / DISK1_FILES[i];
        if (!fs::is_regular_file(file, ec))
            continue;  // reported above
        if (ChecksumOfFile(file) != recorded.m_entries[i])
            damaged(file.string());
        else
            ++rep.checksums;
    }
    if (!volumesSound)
        return;
    std::vector<VolumeSpan> spans;
    const CMediumChecksums actual = ChecksumsOfMedium(disks, ed, &spans);
    std::vector<std::string> paths;
    for (const TreeEntry& entry : WalkTree(ed)) {
        if (entry.file)
            paths.push_back(AnsiToUtf8(entry.path));
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (actual.m_entries[CHECKSUM_FIRST_FILE + i] != recorded.m_entries[CHECKSUM_FIRST_FILE + i])
            damaged(paths[i] + " in " + Volumes(disks, spans[i]));
        else
            ++rep.checksums;
    }
}

}  // namespace

VerifyReport VerifyMedia(const std::vector<fs::path>& disks)
{
    VerifyReport rep;
    auto problem = [&](const std::string& s) { rep.problems.push_back(s); };
    fs::path setupDat = disks.at(0) / DESCRIPTION_FILE_NAME;
    CSetupEdit ed;
    std::uint64_t length = LoadDescription(setupDat, ed);
    std::uint64_t stored = StoredLength(ed);
    if (stored != length)
        problem(setupDat.string() + ": " + Grouped(length - stored) + " bytes follow the end of the record");

    if (TopName(ed, ROOT_APPLICATION) != ROOT_APPLICATION_NAME || TopName(ed, ROOT_SYSTEM) != ROOT_SYSTEM_NAME)
        problem(setupDat.string() + ": the tree does not begin with the directories Applikation and WinSys");
    TreeSums sums = SumTree(ed);
    rep.expectedPayload = sums.total;
    rep.files = sums.files;
    if (sums.top[0] != ed.m_dwAppBytes)
        problem(setupDat.string() + ": application bytes are " + Grouped(ed.m_dwAppBytes) +
                ", but the files under Applikation hold " + Grouped(sums.top[0]));
    if (sums.top[1] != ed.m_dwSysBytes)
        problem(setupDat.string() + ": system bytes are " + Grouped(ed.m_dwSysBytes) +
                ", but the files under WinSys hold " + Grouped(sums.top[1]));

    fs::path uninst = disks[0] / UNINSTALLER_SOURCE_NAME;
    std::error_code ec;
    std::uint64_t uninstSize = fs::file_size(uninst, ec);
    if (ec)
        problem(uninst.string() + ": missing");
    else if (uninstSize != ed.m_dwUninstBytes)
        problem(uninst.string() + ": " + Grouped(uninstSize) + " bytes, the description says " +
                Grouped(ed.m_dwUninstBytes));

    if (!IsValidMediaType(ed.m_nMediaType)) {
        problem(setupDat.string() + ": media type " + std::to_string(ed.m_nMediaType) + " is not one of 0, 1, 2, 3");
        return rep;
    }
    std::uint32_t cap = VolumeCapacity(ed.m_nMediaType);
    if (cap == 0 && disks.size() != 1)
        problem("media type " + std::to_string(ed.m_nMediaType) + " has a single volume, but " +
                std::to_string(disks.size()) + " folders were given");

    std::uint64_t total = 0;
    for (std::size_t i = 0; i < disks.size(); ++i) {
        fs::path data = disks[i] / DATA_FILE_NAME;
        std::uint64_t size = fs::file_size(data, ec);
        if (ec) {
            problem(data.string() + ": missing (volume " + std::to_string(i) + ")");
            rep.volumes.push_back(0);
            continue;
        }
        if (size < 2) {
            problem(data.string() + ": " + std::to_string(size) + " bytes, too short for a volume number");
            rep.volumes.push_back(0);
            continue;
        }
        unsigned char num[2] = {0, 0};
        std::FILE* f = std::fopen(data.string().c_str(), "rb");
        bool ok = f && std::fread(num, 1, 2, f) == 2;
        if (f)
            std::fclose(f);
        if (!ok) {
            problem(data.string() + ": cannot be read");
            rep.volumes.push_back(0);
            continue;
        }
        unsigned number = ReadLE16(num);
        if (number != i)
            problem(data.string() + ": holds volume number " + std::to_string(number) + ", expected " +
                    std::to_string(i) + " (folder " + std::to_string(i + 1) + " of those given)");
        std::uint64_t payload = size - 2;
        rep.volumes.push_back(payload);
        total += payload;
        bool last = i + 1 == disks.size();
        if (cap != 0 && payload > cap)
            problem(data.string() + ": " + Grouped(payload) + " payload bytes, more than a volume of media type " +
                    std::to_string(ed.m_nMediaType) + " holds (" + Grouped(cap) + ")");
        else if (cap != 0 && i != 0 && !last && payload != cap)
            problem(data.string() + ": " + Grouped(payload) +
                    " payload bytes; every volume between the first and the last must hold " + Grouped(cap));
        else if (cap != 0 && i == 0 && !last && payload == 0)
            problem(data.string() + ": an empty first volume");
    }

    // The volume capacities leave no room for Setup.dat and the uninstaller,
    // so the first disk of a full set may not fit the floppy it is named for.
    const char* const FLOPPY_NAMES[2] = {"1.2 MB", "1.44 MB"};
    for (std::size_t i = 0; cap != 0 && i < disks.size(); ++i) {
        std::uint64_t used = FloppyBytes(disks[i]);
        if (used > FloppyBytes(ed.m_nMediaType))
            rep.warnings.push_back(disks[i].string() + ": its files take " + Grouped(used) +
                                   " bytes on a floppy, more than the " + Grouped(FloppyBytes(ed.m_nMediaType)) +
                                   " of a " + FLOPPY_NAMES[ed.m_nMediaType] + " floppy");
    }

    if (total < sums.total) {
        std::string msg = "the volumes hold " + Grouped(total) + " payload bytes, the files need " +
                          Grouped(sums.total) + " (" + Grouped(sums.total - total) + " missing";
        if (cap != 0) {
            std::size_t needed = PlanVolumes(ed.m_nMediaType, sums.total, rep.volumes.front()).size();
            if (needed > disks.size())
                msg += ": " + std::to_string(needed) + " volumes expected, " + std::to_string(disks.size()) +
                       " given";
        }
        problem(msg + ")");
    } else if (total > sums.total) {
        problem("the volumes hold " + Grouped(total) + " payload bytes, " + Grouped(total - sums.total) +
                " more than the files need (" + Grouped(sums.total) + ")");
    } else if (cap != 0 && disks.size() > 1 && rep.volumes.back() == 0) {
        problem((disks.back() / DATA_FILE_NAME).string() + ": an empty last volume that no file needs");
    }
    CheckChecksums(disks, ed, rep.problems.empty(), rep);
    return rep;
}
