#include "platform/name_compare.h"

#include <climits>

namespace {

bool ToWide(const std::string& text, std::wstring& wide)
{
    wide.clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        return false;
    const int length = static_cast<int>(text.size());
    int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (count <= 0)
        return false;
    wide.resize(static_cast<std::wstring::size_type>(count));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, &wide[0], count) == count;
}

}  // namespace

BOOL SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    std::wstring wideA, wideB;
    if (!ToWide(a, wideA) || !ToWide(b, wideB))
        return a == b;
    // The ordinal comparison folds case by the system's upper-case table, as
    // the file system does when it looks a name up.
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}
