#include "tests/support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#endif

namespace fs = std::filesystem;

TempDir::TempDir()
{
#ifdef _WIN32
    char base[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, base);
    if (n == 0 || n >= MAX_PATH)
        throw std::runtime_error("no temporary directory");
    std::string root(base, n);
    if (!root.empty() && root.back() == '\\')
        root.pop_back();
    for (unsigned i = GetCurrentProcessId() * 7919u + GetTickCount();; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\vt%08x", i);
        if (CreateDirectoryA((root + name).c_str(), nullptr)) {
            m_root = root + name;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create a temporary directory");
    }
#else
    std::string pattern = (fs::temp_directory_path() / "vtXXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    m_root = pattern;
#endif
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Read-only files left by a test must not keep the folder alive.
    for (auto it = fs::recursive_directory_iterator(m_root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(m_root, ec);
}

std::string TempDir::WriteFile(const std::string& name, const std::string& contents) const
{
    std::string path = Path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}
