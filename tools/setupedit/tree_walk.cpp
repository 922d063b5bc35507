#include "tools/setupedit/tree_walk.h"

#include "model/install_mngr.h"

std::vector<TreeEntry> WalkTree(CSetupEdit& ed)
{
    std::vector<TreeEntry> out;
    std::vector<std::string> stack;
    auto join = [&](const std::string& name) {
        std::string p;
        for (const std::string& s : stack)
            p += s + "\\";
        return p + name;
    };
    CObject* item;
    for (int r = ed.GetFirstItem(item); r != TREE_END; r = ed.GetNextItem(item)) {
        if (r == TREE_ENTER) {
            const CInstallDir* d = static_cast<const CInstallDir*>(item);
            std::string name = d ? d->m_strName : std::string();
            out.push_back({static_cast<int>(stack.size()), true, join(name), d, nullptr});
            stack.push_back(name);
        } else if (r == TREE_LEAVE) {
            if (!stack.empty())
                stack.pop_back();
        } else if (r == TREE_FILE) {
            const CInstalledFile* f = static_cast<const CInstalledFile*>(item);
            out.push_back({static_cast<int>(stack.size()), false, join(f->m_strName), nullptr, f});
        }
    }
    return out;
}
