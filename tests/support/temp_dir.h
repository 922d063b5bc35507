// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

class TempDir {
public:
#ifdef _WIN32
    static constexpr char kSep = '\\';
#else
    static constexpr char kSep = '/';
#endif
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& name) const { return m_root + kSep + name; }
    // Writes a file below the folder and returns its full path.
    std::string WriteFile(const std::string& name, const std::string& contents) const;

private:
    std::string m_root;
};
