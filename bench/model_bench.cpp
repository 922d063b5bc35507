// How fast the description loads, the tree walks, the chunked copy runs and
// the checksum of the copied bytes is computed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/mem_file.h"
#include "model/archive.h"
#include "model/crc32c.h"
#include "model/install_item.h"
#include "model/install_mngr.h"
#include "model/progress_file.h"

namespace {

// A description the size of a large product: dirs × files entries.
std::vector<BYTE> MakeRecord(int dirs, int filesPerDir)
{
    CInstallMngr record;
    InstallNode& app = *record.AddDirectory(record.GetRoot(), "Applikation");
    record.AddDirectory(record.GetRoot(), "WinSys");
    for (int d = 0; d < dirs; ++d) {
        InstallNode& dir = *record.AddDirectory(app, "Folder" + std::to_string(d));
        for (int f = 0; f < filesPerDir; ++f)
            record.AddFile(dir, "File" + std::to_string(f) + ".dat", 1000u + f, FILE_SHORTCUT);
    }
    record.m_strProductTitle = "Vantler";
    record.m_strDestDir = "\\Vantler";
    CMemFile file;
    record.StoreRecord(file);
    return file.Data();
}

void BM_LoadRecord(benchmark::State& state)
{
    const std::vector<BYTE> bytes = MakeRecord(static_cast<int>(state.range(0)), 100);
    for (auto _ : state) {
        CMemFile file(bytes.data(), bytes.size());
        CInstallMngr record;
        benchmark::DoNotOptimize(record.LoadRecord(file));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["files"] = static_cast<double>(state.range(0) * 100);
}
BENCHMARK(BM_LoadRecord)->Arg(1)->Arg(10)->Arg(100);

void BM_WalkTree(benchmark::State& state)
{
    const std::vector<BYTE> bytes = MakeRecord(100, 100);
    CMemFile file(bytes.data(), bytes.size());
    CInstallMngr record;
    record.LoadRecord(file);
    for (auto _ : state) {
        CObject* item = nullptr;
        int items = 0;
        for (int kind = record.GetFirstItem(item); kind != TREE_END; kind = record.GetNextItem(item))
            ++items;
        benchmark::DoNotOptimize(items);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_WalkTree);

int CountChunk(UINT) { return 1; }

// CRC-32C of one copy chunk of 10,000 bytes: Arg 1 as the copy computes it
// (the processor's instructions where it has them), Arg 0 by tables alone.
void BM_Crc32c(benchmark::State& state)
{
    std::vector<BYTE> chunk(10000);
    for (size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<BYTE>(i * 131 + (i >> 8));
    DWORD crc = 0;
    for (auto _ : state)
        crc = state.range(0) ? Crc32c(crc, chunk.data(), chunk.size()) : Crc32cByTable(crc, chunk.data(), chunk.size());
    benchmark::DoNotOptimize(crc);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * chunk.size()));
    state.SetLabel(state.range(0) && HasCrc32cInstructions() ? "PCLMULQDQ and SSE4.2" : "tables");
}
BENCHMARK(BM_Crc32c)->Arg(1)->Arg(0);

// The copy loop on real files: 8 MB in 10,000-byte chunks with a progress
// call each; Arg 1 also computes the checksum of the bytes copied.
void BM_CopyRange(benchmark::State& state)
{
    const std::string source = "/tmp/vantler-bench-src.bin", target = "/tmp/vantler-bench-dst.bin";
    const DWORD size = 8u << 20;
    {
        CFile src(source.c_str(), CFile::modeCreate | CFile::modeWrite);
        std::vector<char> block(1 << 20, 'v');
        for (DWORD n = 0; n < size; n += block.size())
            src.Write(block.data(), static_cast<UINT>(block.size()));
    }
    CFile src(source.c_str(), CFile::modeRead);
    for (auto _ : state) {
        CProgressFile dst;
        dst.Open(target.c_str(), CFile::modeCreate | CFile::modeWrite);
        dst.m_pfnProgress = CountChunk;
        dst.m_bChecksum = static_cast<BOOL>(state.range(0));
        benchmark::DoNotOptimize(dst.CopyRange(0, size, &src, 0));
        dst.Close();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
    src.Close();
    std::remove(source.c_str());
    std::remove(target.c_str());
}
BENCHMARK(BM_CopyRange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
