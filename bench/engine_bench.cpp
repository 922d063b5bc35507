// How fast the copy phase runs on the real platform (scripts/bench runs it
// under Wine). Every figure is a ratio of two runs measured side by side in
// the same process, so that the machine's speed cancels out:
//   1. one 200 MB file through CopyFiles against a plain ReadFile/WriteFile
//      loop of 10,000-byte chunks over the same bytes (goal: at least 0.9),
//      the median of the ratios of pairs of runs back to back;
//   2. 2,000 files of 100 KB through CopyFiles against the same files done
//      by hand at the least a safe install needs per file: probe the target,
//      make a temporary file, write it, rename it (goal: at most 1.3);
//   3. the time per file of 20,000 small files against that of 2,000
//      (goal: at most 1.2; nothing may grow faster than the file count).
// Files are spread over directories of 100, as a product's tree is. Each
// medium carries its checksum file, so every byte copied is checked.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/setup_engine.h"
#include "model/little_endian.h"
#include "model/media_format.h"
#include "platform/disk.h"
#include "tools/setupedit/seal.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD kChunk = 10000;
constexpr int kFilesPerDirectory = 100;
constexpr int kRounds = 3;
constexpr int kPairs = 15;  // the large file's rounds, a third of a second each

int AnswerYes(int, INT_PTR, INT_PTR) { return 1; }

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string DirectoryName(int file) { return "D" + std::to_string(file / kFilesPerDirectory); }
std::string FileName(int file) { return "F" + std::to_string(file) + ".bin"; }

// A single-volume medium in dir: count files of size bytes under the
// application directory, in directories of kFilesPerDirectory.
void WriteMedium(const std::string& dir, int count, DWORD size)
{
    fs::create_directories(dir);
    CSetupEdit description;
    InstallNode* app = description.AddDirectory(description.GetRoot(), ROOT_APPLICATION_NAME);
    description.AddDirectory(description.GetRoot(), ROOT_SYSTEM_NAME);
    InstallNode* folder = nullptr;
    for (int i = 0; i < count; ++i) {
        if (i % kFilesPerDirectory == 0)
            folder = description.AddDirectory(*app, DirectoryName(i));
        description.AddFile(*folder, FileName(i), size);
    }
    description.m_nMediaType = 2;
    description.m_dwAppBytes = static_cast<DWORD>(count) * size;
    description.m_dwUninstBytes = 1000;
    CFile setup((dir + "\\" + DESCRIPTION_FILE_NAME).c_str(), CFile::modeCreate | CFile::modeWrite);
    description.StoreRecord(setup);
    setup.Close();

    CFile uninstaller((dir + "\\" + UNINSTALLER_SOURCE_NAME).c_str(), CFile::modeCreate | CFile::modeWrite);
    uninstaller.Write(std::string(1000, 'u').data(), 1000);
    uninstaller.Close();

    CFile data((dir + "\\" + DATA_FILE_NAME).c_str(), CFile::modeCreate | CFile::modeWrite);
    BYTE header[DATA_VOLUME_HEADER_SIZE];
    WriteLE16(header, 0);
    data.Write(header, sizeof header);
    std::vector<BYTE> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<BYTE>(i * 131 + (i >> 8));
    for (ULONGLONG left = static_cast<ULONGLONG>(count) * size; left > 0;) {
        const UINT n = static_cast<UINT>(std::min<ULONGLONG>(left, block.size()));
        data.Write(block.data(), n);
        left -= n;
    }
    data.Close();

    bool sealed = false;
    SealMedium({fs::path(dir)}, sealed);
    if (!sealed) {
        std::fprintf(stderr, "engine_bench: the medium in %s cannot be sealed\n", dir.c_str());
        std::exit(1);
    }
}

double RunCopyFiles(const std::string& medium, const std::string& dest)
{
    CSetupEngine engine;
    engine.PrepareLoad();
    engine.m_pfnCallback = AnswerYes;
    engine.m_strSourceDir = medium;
    if (!engine.ReadDescriptionFile()) {
        std::fprintf(stderr, "engine_bench: the medium in %s cannot be read\n", medium.c_str());
        std::exit(1);
    }
    engine.SetDestDir(dest);
    engine.m_strSysDir = dest + "\\sys";
    const double start = Now();
    const BOOL copied = engine.CopyFiles();
    const double seconds = Now() - start;
    if (!copied) {
        std::fprintf(stderr, "engine_bench: CopyFiles failed with %08lx\n", GetLastError());
        std::exit(1);
    }
    return seconds;
}

// Copies count bytes from the open source to a new file in 10,000-byte chunks.
void CopyChunks(HANDLE source, const std::string& target, ULONGLONG count)
{
    HANDLE out =
        CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    static BYTE buffer[kChunk];
    while (count > 0) {
        DWORD n = static_cast<DWORD>(std::min<ULONGLONG>(count, kChunk)), done = 0;
        ReadFile(source, buffer, n, &done, nullptr);
        WriteFile(out, buffer, n, &done, nullptr);
        count -= n;
    }
    CloseHandle(out);
}

HANDLE OpenPayload(const std::string& medium)
{
    HANDLE data = CreateFileA((medium + "\\" + DATA_FILE_NAME).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    SetFilePointer(data, DATA_VOLUME_HEADER_SIZE, nullptr, FILE_BEGIN);
    return data;
}

double RunPlainLoop(const std::string& medium, const std::string& dest, ULONGLONG bytes)
{
    fs::create_directories(dest);
    const double start = Now();
    HANDLE data = OpenPayload(medium);
    CopyChunks(data, dest + "\\plain.bin", bytes);
    CloseHandle(data);
    return Now() - start;
}

// The least per file: its directory, a probe of the target, a temporary
// file beside it, the bytes, and the rename onto the target.
double RunFloor(const std::string& medium, const std::string& dest, int count, DWORD size)
{
    const double start = Now();
    fs::create_directories(dest);
    HANDLE data = OpenPayload(medium);
    for (int i = 0; i < count; ++i) {
        const std::string dir = dest + "\\" + DirectoryName(i);
        if (i % kFilesPerDirectory == 0)
            CreateDirectoryA(dir.c_str(), nullptr);
        const std::string target = dir + "\\" + FileName(i);
        ProbeFile(target);
        char temp[MAX_PATH];
        GetTempFileNameA(dir.c_str(), "Fil", 0, temp);
        CopyChunks(data, temp, size);
        MoveFileExA(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    CloseHandle(data);
    return Now() - start;
}

void Clear(const std::string& dir)
{
    std::error_code ec;
    fs::remove_all(dir, ec);
}

// Runs two measurements in turn, rounds times: the smallest time of each,
// and the median of the rounds' time ratios a/b. A pair of runs back to back
// shares the machine's load, which shifts between pairs far more than within
// one: a 200 MB copy varies by half from one run to the next.
template <typename A, typename B>
double Alternate(const std::string& dest, int rounds, double& bestA, double& bestB, A a, B b)
{
    bestA = bestB = 1e30;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const double ta = a();
        Clear(dest);
        const double tb = b();
        Clear(dest);
        bestA = std::min(bestA, ta);
        bestB = std::min(bestB, tb);
        ratios.push_back(ta / tb);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string work = argc > 1 ? argv[1] : (fs::temp_directory_path() / "vantler-bench").string();
    Clear(work);
    const std::string dest = work + "\\dest";
    double a, b;

    const DWORD big = 200u << 20;
    WriteMedium(work + "\\big", 1, big);
    const double ratio = Alternate(dest, kPairs, a, b, [&] { return RunCopyFiles(work + "\\big", dest); },
                                   [&] { return RunPlainLoop(work + "\\big", dest, big); });
    std::printf("one 200 MB file: CopyFiles best %.3f s, ReadFile/WriteFile loop best %.3f s; median of %d paired "
                "speed ratios %.2f (goal >= 0.9)\n",
                a, b, kPairs, 1 / ratio);
    Clear(work + "\\big");

    WriteMedium(work + "\\many", 2000, 100 * 1024);
    Alternate(dest, kRounds, a, b, [&] { return RunCopyFiles(work + "\\many", dest); },
              [&] { return RunFloor(work + "\\many", dest, 2000, 100 * 1024); });
    std::printf("2,000 files of 100 KB: CopyFiles %.3f s, by hand %.3f s: time ratio %.2f (goal <= 1.3)\n", a, b,
                a / b);
    Clear(work + "\\many");

    WriteMedium(work + "\\small2000", 2000, 1000);
    WriteMedium(work + "\\small20000", 20000, 1000);
    Alternate(dest, kRounds, a, b, [&] { return RunCopyFiles(work + "\\small2000", dest); },
              [&] { return RunCopyFiles(work + "\\small20000", dest); });
    std::printf("small files: 2,000 in %.3f s, 20,000 in %.3f s: time per file ratio %.2f (goal <= 1.2)\n", a, b,
                (b / 20000) / (a / 2000));
    Clear(work);
    return 0;
}
