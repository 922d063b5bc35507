#include "tests/support/win_files.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteAt(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

void RemoveTree(const std::string& dir)
{
    std::vector<std::string> entries = ListTree(dir);
    // Deepest first, so that every directory is empty when its turn comes.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::string path = dir + "\\" + *it;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (it->back() == '\\')
            RemoveDirectoryA(path.c_str());
        else
            DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(dir.c_str());
}

namespace {

void ListInto(const std::string& dir, const std::string& prefix, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(prefix + name + "\\");
            ListInto(dir + "\\" + name, prefix + name + "\\", out);
        } else {
            out.push_back(prefix + name);
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

}  // namespace

std::vector<std::string> ListTree(const std::string& dir)
{
    std::vector<std::string> out;
    ListInto(dir, "", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> TempFilesIn(const std::string& dir)
{
    std::vector<std::string> temps;
    for (const std::string& entry : ListTree(dir)) {
        std::string name = entry.substr(entry.find_last_of('\\') + 1);
        if (name.size() > 4 && _strnicmp(name.c_str(), "Fil", 3) == 0 &&
            _stricmp(name.c_str() + name.size() - 4, ".tmp") == 0)
            temps.push_back(entry);
    }
    return temps;
}

std::string HostPath(const char* pszHostPath)
{
    std::string path = pszHostPath;
    if (!path.empty() && path[0] == '/')
        path.insert(0, "Z:");
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
