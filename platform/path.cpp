#include "platform/path.h"

namespace {

bool IsAsciiAlnum(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Index of the last backslash that separates a name: scanned from the
// second-to-last character down to index 2, so that a trailing backslash and
// the leading ones of \\SERVER are skipped. -1 when there is none.
int LastSeparator(const std::string& path)
{
    for (int i = static_cast<int>(path.size()) - 2; i >= 2; --i) {
        if (path[i] == '\\')
            return i;
    }
    return -1;
}

}  // namespace

DWORD DriveNumberOf(char c)
{
#ifdef _WIN32
    char text[2] = {c, '\0'};
    CharUpperBuffA(text, 1);
    c = text[0];
#else
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
#endif
    return static_cast<DWORD>(static_cast<unsigned char>(c)) - 0x40;
}

std::string PathPrefix(const std::string& path, DWORD n)
{
    DWORD number = 0;
    for (std::string::size_type i = 0; i < path.size(); ++i) {
        if (path[i] != '\\')
            continue;
        if (number == n)
            return path.substr(0, i);
        ++number;
    }
    // Fewer backslashes than asked for: the whole path, so that a caller
    // walking the prefixes always ends on the path itself.
    return path;
}

std::string FileNamePart(const std::string& path)
{
    int sep = LastSeparator(path);
    return sep < 0 ? path : path.substr(sep + 1);
}

std::string BaseName(const std::string& path)
{
    std::string name = FileNamePart(path);
    for (int i = static_cast<int>(name.size()) - 2; i >= 1; --i) {
        if (name[i] == '.')
            return name.substr(0, i);
    }
    return name;
}

std::string DirectoryPart(const std::string& path)
{
    int sep = LastSeparator(path);
    return sep < 0 ? std::string() : path.substr(0, sep);
}

BOOL IsValidDestPath(const std::string& path)
{
    const std::string::size_type len = path.size();
    if (len < 2 || len > 260)
        return FALSE;
    if (path.find_first_of("#%;/") != std::string::npos)
        return FALSE;
    if (!IsAsciiLetter(path[0]) || path[1] != ':')
        return FALSE;
    if (len == 2)
        return TRUE;
    if (path[2] != '\\')
        return FALSE;
    for (std::string::size_type i = 2; i < len; ++i) {
        char c = path[i];
        if (IsAsciiAlnum(c) || c == '_')
            continue;
        if (c == '\\' && i + 1 < len && IsAsciiAlnum(path[i + 1]))
            continue;
        if (c == ' ' && IsAsciiAlnum(path[i - 1]))
            continue;
        return FALSE;
    }
    return TRUE;
}

std::string QuotedIfBlank(const std::string& path)
{
    if (path.find_first_of(" \t") == std::string::npos)
        return path;
    std::string quoted(1, '"');
    quoted += path;
    quoted += '"';
    return quoted;
}

std::string ShortenPathInMiddle(const std::string& path, std::string::size_type nMaxLength)
{
    if (path.size() <= nMaxLength)
        return path;
    // The first component stays: a drive, or the server of a \\SERVER path.
    std::string::size_type nHead = path.find('\\', path.compare(0, 2, "\\\\") == 0 ? 2 : 0);
    if (nHead == std::string::npos)
        nHead = 0;
    const std::string strHead = path.substr(0, nHead) + "\\...";
    const std::string::size_type nRoom = nMaxLength > strHead.size() ? nMaxLength - strHead.size() : 0;
    // The last components, from the first separator whose rest fits.
    std::string::size_type nTail = path.find('\\', nHead + 1);
    while (nTail != std::string::npos && path.size() - nTail > nRoom)
        nTail = path.find('\\', nTail + 1);
    if (nTail == std::string::npos)
        nTail = path.size() - nRoom;
    return strHead + path.substr(nTail);
}
