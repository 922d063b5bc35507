// Cutting the payload into volumes: the plan for each media type and the
// writer's boundaries (a file ending exactly at a volume's end, a file
// running across volumes).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/temp_dir.h"
#include "tools/setupedit/tool_error.h"
#include "tools/setupedit/volume_plan.h"
#include "tools/setupedit/volume_writer.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(VolumePlan, FixedCapacitiesFillEveryVolumeButTheLast)
{
    EXPECT_EQ(1199998u, VolumeCapacity(0));
    EXPECT_EQ(1439998u, VolumeCapacity(1));
    EXPECT_EQ((std::vector<std::uint64_t>{0}), PlanVolumes(1, 0));
    EXPECT_EQ((std::vector<std::uint64_t>{1439998}), PlanVolumes(1, 1439998));
    EXPECT_EQ((std::vector<std::uint64_t>{1439998, 1}), PlanVolumes(1, 1439999));
    EXPECT_EQ((std::vector<std::uint64_t>{1199998, 1199998, 5}), PlanVolumes(0, 2 * 1199998 + 5));
    EXPECT_EQ(3580u, PlanVolumes(0, 0xFFFFFFFFull).size());
}

TEST(VolumePlan, SingleVolumeTypesAndBadTypes)
{
    EXPECT_EQ((std::vector<std::uint64_t>{5000000}), PlanVolumes(2, 5000000));
    EXPECT_EQ((std::vector<std::uint64_t>{0xFFFFFFFDull}), PlanVolumes(3, 0xFFFFFFFDull));
    EXPECT_THROW(PlanVolumes(3, 0xFFFFFFFEull), ToolError);
    EXPECT_THROW(PlanVolumes(4, 1), ToolError);
    EXPECT_THROW(PlanVolumes(-1, 1), ToolError);
}

TEST(VolumeWriter, CutsAtTheCapacityAndRunsFilesAcross)
{
    TempDir dir;
    VolumeWriter w(dir.Root(), 10);
    w.Append("abcd", 4);
    w.Append("efghij", 6);  // ends exactly at the first volume's end
    w.Append("klmnopqrstuvwxyz0123", 20);  // fills volume 2 and runs into volume 3
    w.Append("", 0);
    std::vector<std::uint64_t> sizes = w.Finish();
    EXPECT_EQ((std::vector<std::uint64_t>{10, 10, 10}), sizes);
    EXPECT_EQ(std::string("\0\0abcdefghij", 12), Slurp(DiskFolder(dir.Root(), 0) / "Data.dat"));
    EXPECT_EQ(std::string("\1\0klmnopqrst", 12), Slurp(DiskFolder(dir.Root(), 1) / "Data.dat"));
    EXPECT_EQ(std::string("\2\0uvwxyz0123", 12), Slurp(DiskFolder(dir.Root(), 2) / "Data.dat"));
    // A payload that ends at a volume's end leaves no empty volume.
    EXPECT_FALSE(fs::exists(DiskFolder(dir.Root(), 3)));
}

TEST(VolumeWriter, EmptyPayloadAndUnlimitedVolume)
{
    TempDir a, b;
    EXPECT_EQ((std::vector<std::uint64_t>{0}), VolumeWriter(a.Root(), 10).Finish());
    EXPECT_EQ(std::string("\0\0", 2), Slurp(DiskFolder(a.Root(), 0) / "Data.dat"));
    VolumeWriter w(b.Root(), 0);
    std::string big(100000, 'x');
    w.Append(big.data(), big.size());
    EXPECT_EQ((std::vector<std::uint64_t>{100000}), w.Finish());
}

}  // namespace
