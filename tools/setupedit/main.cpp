// setupedit: the authoring tool of the setup kit.
//   setupedit build MANIFEST.json OUTDIR   write the distribution media
//   setupedit dump FILE [--json]           list a Setup.dat or Setup.inf
//   setupedit verify MEDIUM                check built volumes
//   setupedit seal MEDIUM                  add the checksum file to a medium
// MEDIUM: the folder that holds disk1, disk2, ... (as build writes them),
// or the disk folders themselves in order, DISK1 [DISK2 ...].
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "model/install_mngr.h"
#include "model/media_format.h"
#include "tools/setupedit/description_file.h"
#include "tools/setupedit/dump.h"
#include "tools/setupedit/grouped.h"
#include "tools/setupedit/manifest.h"
#include "tools/setupedit/media_writer.h"
#include "tools/setupedit/seal.h"
#include "tools/setupedit/tool_error.h"
#include "tools/setupedit/verify.h"

namespace fs = std::filesystem;

namespace {

int Usage()
{
    std::cerr << "usage: setupedit build MANIFEST.json OUTDIR\n"
                 "       setupedit dump FILE [--json]\n"
                 "       setupedit verify MEDIUM | DISK1 [DISK2 ...]\n"
                 "       setupedit seal MEDIUM | DISK1 [DISK2 ...]\n";
    return 2;
}

std::string VolumeList(const std::vector<std::uint64_t>& volumes)
{
    std::string s;
    for (std::size_t i = 0; i < volumes.size(); ++i)
        s += (i ? " + " : "") + Grouped(volumes[i]);
    return s;
}

int Build(const std::string& manifest, const std::string& out)
{
    auto start = std::chrono::steady_clock::now();
    Manifest m = LoadManifest(fs::path(manifest));
    BuildSummary s = BuildMedia(m, fs::path(out));
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char time[32];
    std::snprintf(time, sizeof time, "%.1f ms", secs * 1000);
    std::cout << out << ": " << s.files << " files, " << s.volumes.size()
              << (s.volumes.size() == 1 ? " volume" : " volumes") << " of media type " << m.mediaType << " ("
              << VolumeList(s.volumes) << " payload bytes), Setup.dat " << Grouped(s.setupDatBytes)
              << " bytes, built in " << time << "\n";
    return 0;
}

int Dump(const std::string& file, bool asJson)
{
    CSetupEdit ed;
    LoadDescription(fs::path(file), ed);
    if (asJson)
        std::cout << DumpJson(ed).dump(2) << "\n";
    else
        DumpText(ed, file, std::cout);
    return 0;
}

// The disk folders of a medium: a single folder that holds no Setup.dat but
// a disk1 stands for its disk1, disk2, ... in order; anything else is the list.
std::vector<fs::path> Disks(const std::vector<std::string>& args)
{
    std::vector<fs::path> disks(args.begin(), args.end());
    std::error_code ec;
    if (disks.size() != 1 || fs::exists(disks[0] / DESCRIPTION_FILE_NAME, ec) ||
        !fs::is_directory(disks[0] / "disk1", ec))
        return disks;
    const fs::path medium = disks[0];
    disks.clear();
    for (std::size_t n = 1; fs::is_directory(medium / ("disk" + std::to_string(n)), ec); ++n)
        disks.push_back(medium / ("disk" + std::to_string(n)));
    return disks;
}

// Verify's findings: the problems and warnings on standard error, the
// summary of a sound medium on standard output. True when sound.
bool Report(const std::string& command, const std::string& medium, const VerifyReport& rep)
{
    for (const std::string& p : rep.problems)
        std::cerr << "setupedit: " << command << ": " << p << "\n";
    if (rep.problems.empty()) {
        std::cout << medium << ": " << rep.files << " files, " << rep.volumes.size()
                  << (rep.volumes.size() == 1 ? " volume" : " volumes") << " (" << VolumeList(rep.volumes)
                  << " payload bytes), ";
        if (rep.sealed)
            std::cout << "all " << rep.checksums << " checksums in " << CHECKSUM_FILE_NAME << " match";
        else
            std::cout << "no checksum file";
        std::cout << ": sound" << std::endl;
    }
    // A warning does not make the media unsound: they still install from folders.
    for (const std::string& w : rep.warnings)
        std::cerr << "setupedit: " << command << ": warning: " << w << "\n";
    return rep.problems.empty();
}

int Verify(const std::vector<std::string>& args)
{
    return Report("verify", args[0], VerifyMedia(Disks(args))) ? 0 : 1;
}

int Seal(const std::vector<std::string>& args)
{
    const std::vector<fs::path> disks = Disks(args);
    bool written = false;
    const VerifyReport rep = SealMedium(disks, written);
    if (!written) {
        const bool sound = Report("seal", args[0], rep);
        if (sound)
            std::cout << (disks[0] / CHECKSUM_FILE_NAME).string() << ": there already; nothing written\n";
        else
            std::cerr << "setupedit: seal: the medium is not sound; nothing written\n";
        return sound ? 0 : 1;
    }
    std::cout << (disks[0] / CHECKSUM_FILE_NAME).string() << ": written\n";
    return Report("seal", args[0], rep) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    std::string cmd = args[0];
    args.erase(args.begin());
    try {
        if (cmd == "build" && args.size() == 2)
            return Build(args[0], args[1]);
        if (cmd == "dump" && args.size() == 1)
            return Dump(args[0], false);
        if (cmd == "dump" && args.size() == 2 && args[1] == "--json")
            return Dump(args[0], true);
        if (cmd == "verify" && !args.empty())
            return Verify(args);
        if (cmd == "seal" && !args.empty())
            return Seal(args);
        return Usage();
    } catch (const ToolError& e) {
        std::cerr << "setupedit: " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "setupedit: unexpected failure: " << e.what() << "\n";
    }
    return 1;
}
