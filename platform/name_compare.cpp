#include "platform/name_compare.h"

#include <climits>
#include <vector>

namespace {

// Into a plain buffer: std::wstring would bring its own 24 KB instantiation
// into Setup.exe.
bool ToWide(const std::string& text, std::vector<wchar_t>& wide)
{
    if (text.size() > INT_MAX)
        return false;
    const int length = static_cast<int>(text.size());
    int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (count <= 0)
        return false;
    wide.resize(static_cast<size_t>(count));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), count) == count;
}

}  // namespace

BOOL SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    // An empty name has no buffer to pass, and equals only an empty name.
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    std::vector<wchar_t> wideA, wideB;
    if (!ToWide(a, wideA) || !ToWide(b, wideB))
        return a == b;
    // The ordinal comparison folds case by the system's upper-case table, as
    // the file system does when it looks a name up.
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}
