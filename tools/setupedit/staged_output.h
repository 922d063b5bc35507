// The output folder of a build is written as a fresh folder beside the
// target and renamed into place only when complete, so that a failed build
// leaves nothing behind. An existing target is replaced only when it is
// empty or holds nothing but disk1, disk2, ... folders (an earlier build);
// anything else is refused rather than deleted.
#pragma once

#include <filesystem>

class StagedOutput {
public:
    // Checks the target and creates the staging folder; throws ToolError.
    explicit StagedOutput(const std::filesystem::path& target);
    // Removes the staging folder unless it was committed.
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    const std::filesystem::path& Dir() const { return m_stage; }
    // Moves the staging folder onto the target, replacing an earlier build.
    void Commit();

private:
    std::filesystem::path m_target;
    std::filesystem::path m_stage;
    bool m_committed = false;
};

// True when dir is empty or holds only folders named disk<number>.
bool LooksLikeBuildOutput(const std::filesystem::path& dir);
