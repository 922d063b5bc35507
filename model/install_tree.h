// The install tree: directories with their subdirectories and files, its
// stream format, the depth-first walk used by every install pass, and the
// navigation state (current directory and its full path) of the copy phase.
#pragma once

#include <string>

#include "framework/object.h"
#include "install_item.h"
#include "ptr_list.h"

// Results of GetFirstItem / GetNextItem.
enum { TREE_END = 0, TREE_LEAVE = 1, TREE_ENTER = 2, TREE_FILE = 3 };

// m_nTopIndex outside the two first-level directories.
constexpr int TOP_INDEX_NONE = 3;

// The deepest nesting a stored tree may have: every level adds at least a
// one-character name and a backslash to a path of at most 260 characters.
constexpr int MAX_TREE_DEPTH = 130;

struct InstallNode {
    InstallNode() = default;
    ~InstallNode() { ClearTree(); }
    InstallNode(const InstallNode&) = delete;
    InstallNode& operator=(const InstallNode&) = delete;

    // Deletes the subdirectory nodes, the directory object and the files.
    void ClearTree();

    InstallNode* parent = nullptr;
    CPtrListOf<InstallNode> children;  // owned
    CInstallDir* dir = nullptr;        // owned; none for the root
    CPtrListOf<CInstalledFile> files;  // owned
    POSITION childCursor = nullptr;    // iteration: next child to visit
    POSITION fileCursor = nullptr;     // iteration: next file to visit
};

class CInstallTree : public CObject {
public:
    typedef void (*DirSerializer)(CArchive& ar, CInstallDir& dir);
    typedef void (*FileSerializer)(CArchive& ar, CInstalledFile& file);

    CInstallTree();
    ~CInstallTree() override;

    // The tree is written and read by CInstallMngr as part of its record.
    void Serialize(CArchive&) override {}

    // Empties the tree; iteration and navigation start over.
    void ClearTree();

    // Writes or reads one node record and everything below it. Reading fails
    // with an archive exception on a count the rest of the file cannot hold,
    // on nesting deeper than MAX_TREE_DEPTH and on a subdirectory without its
    // directory object.
    void SerializeNode(CArchive& ar, InstallNode& node, DirSerializer dirFn, FileSerializer fileFn);
    // The whole tree from the root, clearing it first when loading.
    void SerializeTree(CArchive& ar);

    // Building a tree in code (the authoring side and tests).
    InstallNode* AddDirectory(InstallNode& parent, const std::string& name);
    CInstalledFile* AddFile(InstallNode& parent, const std::string& name, DWORD size = 0,
                            DWORD flags = 0);

    // Depth-first walk: a node's subdirectories (each with its subtree)
    // come before its own files. item is the directory entered, the file, or
    // for TREE_LEAVE the directory of the node returned to (none for the root).
    int GetFirstItem(CObject*& item);
    int GetNextItem(CObject*& item);
    // The same walk, also giving the item's list position (not set for
    // TREE_LEAVE and TREE_END): the child's position in its parent's children
    // for a directory, its position in the files for a file.
    int GetFirstItem(CObject*& item, POSITION& pos);
    int GetNextItem(CObject*& item, POSITION& pos);

    // Navigation. EnterDirectory takes a position in the current node's
    // children; LeaveDirectory returns the new current node, or none (and
    // changes nothing) at the root. ChangeDirectory(n): -2 resets, -1 leaves,
    // n >= 0 enters the n-th child; none and no change for any other n.
    InstallNode* EnterDirectory(POSITION pos);
    InstallNode* LeaveDirectory();
    void ResetPosition();
    POSITION GetChildNode(int n) const;
    InstallNode* ChangeDirectory(int n);

    InstallNode& GetRoot() { return m_root; }
    const InstallNode& GetRoot() const { return m_root; }

    InstallNode* m_pCurNode;   // navigation: current node
    InstallNode* m_pIterNode;  // iteration: node the walk stands at
    std::string m_strCurPath;  // navigation: full path of the current directory
    int m_nDepth;              // navigation: 0 at the root
    int m_nTopIndex;           // 0 application dir, 1 system dir, 3 none, -1 no match

protected:
    InstallNode m_root;

private:
    void ReadNode(CArchive& ar, InstallNode& node, DirSerializer dirFn, FileSerializer fileFn,
                  int depth);
    void WriteNode(CArchive& ar, InstallNode& node, DirSerializer dirFn, FileSerializer fileFn);
    int Step(CObject*& item, POSITION* pos, bool first);
};
