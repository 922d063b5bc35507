#include "tools/setupedit/names.h"

std::string CheckComponent(const std::string& name)
{
    std::string reason = CheckPathComponent(name);
    if (reason.empty() && name.size() > kMaxNameLength)
        reason = "is longer than " + std::to_string(kMaxNameLength) + " characters";
    return reason;
}
