// A description's tree in walk order (the order of the payload), each item
// with its depth and its path in the tree.
#pragma once

#include <string>
#include <vector>

class CSetupEdit;
class CInstallDir;
class CInstalledFile;

struct TreeEntry {
    int depth;
    bool isDir;
    std::string path;  // in the tree, backslash-separated, ANSI
    const CInstallDir* dir;
    const CInstalledFile* file;
};

std::vector<TreeEntry> WalkTree(CSetupEdit& ed);
