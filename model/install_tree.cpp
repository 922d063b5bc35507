#include "install_tree.h"

#include "archive.h"

namespace {

// The least each element of a node record takes in the stream: a child node
// is its presence byte and two counts, a file entry its presence byte.
constexpr ULONGLONG kMinNodeBytes = 1 + 4 + 4;
constexpr ULONGLONG kMinFileEntryBytes = 1;

void SerializeDir(CArchive& ar, CInstallDir& dir) { dir.Serialize(ar); }
void SerializeFile(CArchive& ar, CInstalledFile& file) { file.Serialize(ar); }

// A count of elements, each at least minBytes long: zero or negative gives
// none, more than the rest of the file can hold is refused before any
// element is created.
DWORD ReadElementCount(CArchive& ar, ULONGLONG minBytes)
{
    LONG count;
    ar >> count;
    if (count <= 0)
        return 0;
    ar.Require(static_cast<ULONGLONG>(count) * minBytes);
    return static_cast<DWORD>(count);
}

}  // namespace

void InstallNode::ClearTree()
{
    for (POSITION pos = children.GetHeadPosition(); pos;)
        delete children.GetNext(pos);
    children.RemoveAll();
    delete dir;
    dir = nullptr;
    for (POSITION pos = files.GetHeadPosition(); pos;)
        delete files.GetNext(pos);
    files.RemoveAll();
    childCursor = nullptr;
    fileCursor = nullptr;
}

CInstallTree::CInstallTree()
    : m_pCurNode(&m_root), m_pIterNode(nullptr), m_nDepth(0), m_nTopIndex(TOP_INDEX_NONE)
{
}

CInstallTree::~CInstallTree() = default;

void CInstallTree::ClearTree()
{
    m_root.ClearTree();
    m_pIterNode = nullptr;
    m_pCurNode = &m_root;
    m_strCurPath.clear();
    m_nDepth = 0;
    m_nTopIndex = TOP_INDEX_NONE;
}

// ---- Stream format

void CInstallTree::SerializeTree(CArchive& ar)
{
    if (ar.IsLoading())
        ClearTree();
    SerializeNode(ar, m_root, SerializeDir, SerializeFile);
}

void CInstallTree::SerializeNode(CArchive& ar, InstallNode& node, DirSerializer dirFn,
                                 FileSerializer fileFn)
{
    if (ar.IsStoring())
        WriteNode(ar, node, dirFn, fileFn);
    else
        ReadNode(ar, node, dirFn, fileFn, 0);
}

void CInstallTree::WriteNode(CArchive& ar, InstallNode& node, DirSerializer dirFn,
                             FileSerializer fileFn)
{
    ar << static_cast<BYTE>(node.dir ? 1 : 0);
    if (node.dir)
        dirFn(ar, *node.dir);
    ar << static_cast<DWORD>(node.children.GetCount());
    for (POSITION pos = node.children.GetHeadPosition(); pos;)
        WriteNode(ar, *node.children.GetNext(pos), dirFn, fileFn);
    ar << static_cast<DWORD>(node.files.GetCount());
    for (POSITION pos = node.files.GetHeadPosition(); pos;) {
        CInstalledFile* file = node.files.GetNext(pos);
        ar << static_cast<BYTE>(file ? 1 : 0);
        if (file)
            fileFn(ar, *file);
    }
}

void CInstallTree::ReadNode(CArchive& ar, InstallNode& node, DirSerializer dirFn,
                            FileSerializer fileFn, int depth)
{
    if (depth > MAX_TREE_DEPTH)
        ar.ThrowArchive(CArchiveException::genericException);

    BYTE present;
    ar >> present;
    // Every install pass relies on a directory object below the root.
    if (!present && depth > 0)
        ar.ThrowArchive(CArchiveException::genericException);
    if (present) {
        // Attached before reading, so that a failure leaves nothing unowned.
        node.dir = new CInstallDir;
        dirFn(ar, *node.dir);
    }

    DWORD children = ReadElementCount(ar, kMinNodeBytes);
    for (DWORD i = 0; i < children; ++i) {
        InstallNode* child = new InstallNode;
        child->parent = &node;
        node.children.AddTail(child);
        ReadNode(ar, *child, dirFn, fileFn, depth + 1);
    }

    DWORD files = ReadElementCount(ar, kMinFileEntryBytes);
    for (DWORD i = 0; i < files; ++i) {
        ar >> present;
        if (!present)
            continue;
        CInstalledFile* file = new CInstalledFile;
        node.files.AddTail(file);
        fileFn(ar, *file);
    }
}

// ---- Building

InstallNode* CInstallTree::AddDirectory(InstallNode& parent, const std::string& name)
{
    InstallNode* child = new InstallNode;
    child->parent = &parent;
    child->dir = new CInstallDir;
    child->dir->m_strName = name;
    parent.children.AddTail(child);
    return child;
}

CInstalledFile* CInstallTree::AddFile(InstallNode& parent, const std::string& name, DWORD size,
                                      DWORD flags)
{
    CInstalledFile* file = new CInstalledFile;
    file->m_strName = name;
    file->m_dwSize = size;
    file->m_dwFlags = flags;
    parent.files.AddTail(file);
    return file;
}

// ---- Iteration

int CInstallTree::Step(CObject*& item, POSITION* pos, bool first)
{
    item = nullptr;
    InstallNode* node = m_pIterNode;
    if (first) {
        m_root.childCursor = m_root.children.GetHeadPosition();
        m_root.fileCursor = m_root.files.GetHeadPosition();
        node = &m_root;
    }
    if (!node)
        return TREE_END;  // no walk started
    if (node->childCursor) {
        POSITION at = node->childCursor;
        InstallNode* child = node->children.GetNext(node->childCursor);
        child->childCursor = child->children.GetHeadPosition();
        child->fileCursor = child->files.GetHeadPosition();
        m_pIterNode = child;
        item = child->dir;
        if (pos)
            *pos = at;
        return TREE_ENTER;
    }
    if (node->fileCursor) {
        POSITION at = node->fileCursor;
        item = node->files.GetNext(node->fileCursor);
        m_pIterNode = node;
        if (pos)
            *pos = at;
        return TREE_FILE;
    }
    if (node == &m_root) {
        m_pIterNode = node;
        return TREE_END;
    }
    m_pIterNode = node->parent;
    item = m_pIterNode->dir;
    return TREE_LEAVE;
}

int CInstallTree::GetFirstItem(CObject*& item) { return Step(item, nullptr, true); }
int CInstallTree::GetNextItem(CObject*& item) { return Step(item, nullptr, false); }
int CInstallTree::GetFirstItem(CObject*& item, POSITION& pos) { return Step(item, &pos, true); }
int CInstallTree::GetNextItem(CObject*& item, POSITION& pos) { return Step(item, &pos, false); }

// ---- Navigation

InstallNode* CInstallTree::EnterDirectory(POSITION pos)
{
    if (!pos)
        return nullptr;
    InstallNode* target = CPtrListOf<InstallNode>::GetAt(pos);
    if (m_nDepth == 0) {
        m_nTopIndex = -1;
        int index = 0;
        for (POSITION p = m_pCurNode->children.GetHeadPosition(); p; ++index) {
            if (m_pCurNode->children.GetNext(p)->dir == target->dir) {
                m_nTopIndex = index;
                break;
            }
        }
    }
    m_pCurNode = target;
    if (m_nDepth++ != 0)
        m_strCurPath += '\\';
    if (target->dir)
        m_strCurPath += target->dir->m_strName;
    return target;
}

InstallNode* CInstallTree::LeaveDirectory()
{
    if (m_nDepth < 1 || !m_pCurNode->parent)
        return nullptr;
    if (m_nDepth == 1) {
        m_strCurPath.clear();
    } else {
        size_t cut = (m_pCurNode->dir ? m_pCurNode->dir->m_strName.size() : 0) + 1;
        m_strCurPath.resize(m_strCurPath.size() > cut ? m_strCurPath.size() - cut : 0);
    }
    m_pCurNode = m_pCurNode->parent;
    if (--m_nDepth == 0)
        m_nTopIndex = TOP_INDEX_NONE;
    return m_pCurNode;
}

void CInstallTree::ResetPosition()
{
    m_strCurPath.clear();
    m_nDepth = 0;
    m_pCurNode = &m_root;
    m_nTopIndex = TOP_INDEX_NONE;
}

POSITION CInstallTree::GetChildNode(int n) const
{
    if (n < 0 || static_cast<size_t>(n) >= m_pCurNode->children.GetCount())
        return nullptr;
    return m_pCurNode->children.FindIndex(static_cast<size_t>(n));
}

InstallNode* CInstallTree::ChangeDirectory(int n)
{
    if (n == -2) {
        ResetPosition();
        return m_pCurNode;
    }
    if (n == -1)
        return LeaveDirectory();
    return EnterDirectory(GetChildNode(n));
}
