#include "tools/setupedit/staged_output.h"

#include <chrono>
#include <random>
#include <string>
#include <system_error>

#include "tools/setupedit/tool_error.h"

namespace fs = std::filesystem;

namespace {

// A new, empty folder beside base named .<base>.<tag>-<random>.
fs::path MakeSibling(const fs::path& base, const char* tag)
{
    std::mt19937 rnd(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                     std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = base.parent_path() /
                     ("." + base.filename().string() + "." + tag + "-" + std::to_string(rnd() % 1000000));
        std::error_code ec;
        if (fs::create_directory(p, ec))
            return p;
        if (ec)
            throw ToolError(p.string() + ": cannot create the folder: " + ec.message());
    }
    throw ToolError(base.string() + ": cannot find a free name for a temporary folder beside it");
}

}  // namespace

bool LooksLikeBuildOutput(const fs::path& dir)
{
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!it->is_directory(ec) || name.size() < 5 || name.compare(0, 4, "disk") != 0 ||
            name.find_first_not_of("0123456789", 4) != std::string::npos)
            return false;
    }
    return !ec;
}

StagedOutput::StagedOutput(const fs::path& target)
{
    std::error_code ec;
    m_target = fs::absolute(target, ec).lexically_normal();
    if (m_target.filename().empty())
        m_target = m_target.parent_path();
    if (ec || m_target.filename().empty() || m_target.filename() == "..")
        throw ToolError(target.string() + ": not usable as an output folder");
    if (!fs::is_directory(m_target.parent_path(), ec))
        throw ToolError(target.string() + ": the folder " + m_target.parent_path().string() + " does not exist");
    fs::file_status st = fs::symlink_status(m_target, ec);
    if (fs::exists(st)) {
        if (!fs::is_directory(st))
            throw ToolError(target.string() + ": exists and is not a folder; not replaced");
        if (!LooksLikeBuildOutput(m_target))
            throw ToolError(target.string() +
                            ": exists and holds more than disk1, disk2, ... folders; not replaced");
    }
    m_stage = MakeSibling(m_target, "new");
}

StagedOutput::~StagedOutput()
{
    if (!m_committed) {
        std::error_code ec;
        fs::remove_all(m_stage, ec);
    }
}

void StagedOutput::Commit()
{
    std::error_code ec;
    fs::path old;
    if (fs::exists(fs::symlink_status(m_target, ec))) {
        old = MakeSibling(m_target, "old");
        fs::remove(old, ec);
        fs::rename(m_target, old, ec);
        if (ec)
            throw ToolError(m_target.string() + ": cannot move the earlier build aside: " + ec.message());
    }
    fs::rename(m_stage, m_target, ec);
    if (ec) {
        std::error_code ignored;
        if (!old.empty())
            fs::rename(old, m_target, ignored);
        throw ToolError(m_target.string() + ": cannot move the new build into place: " + ec.message());
    }
    m_committed = true;
    if (!old.empty())
        fs::remove_all(old, ec);
}
