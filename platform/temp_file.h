// A temporary file beside its target that is either moved onto the target in
// one step or deleted: whoever made it owns it until then, so no failure path
// can leave it behind or leave a half-written file under the target's name.
#pragma once

#include <string>

#include <windows.h>

class CTempFile {
public:
    CTempFile() = default;
    // Deletes the file unless it was committed.
    ~CTempFile() { Discard(); }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    // Creates an empty "Filxxxx.tmp" in dir (the temporary directory when dir
    // is empty). FALSE with the platform's error in the last-error value.
    BOOL Create(const std::string& dir);

    // Moves the file onto target, replacing a file that is there, so that the
    // target is always either the old file or the complete new one. Throws
    // CFileException (the file stays owned) when the move fails.
    void Commit(const std::string& target);

    // Commit onto a target that may be read-only: the attribute is taken off
    // for the move only, and put back when the move fails, so that a failure
    // leaves the old file exactly as it was.
    void CommitOverReadOnly(const std::string& target);

    // Deletes the file now if it is still owned; an error is ignored.
    void Discard();

    const std::string& GetPath() const { return m_strPath; }
    bool IsOwned() const { return !m_strPath.empty(); }

private:
    std::string m_strPath;  // empty once committed or discarded
};
