// What the removal planner asks of the machine and of the user. The program
// answers through the platform layer and its windows; tests answer from
// tables, so that the planning runs anywhere.
#pragma once

#include <string>

#include "framework/wintypes.h"

// The two registry roots the product's entries live below.
enum RegRoot { REG_MACHINE, REG_CLASSES };

// What a shared file's SharedDLLs value holds.
enum SharedCountState {
    COUNT_FOUND,    // a REG_DWORD count
    COUNT_MISSING,  // no value
    COUNT_ODD,      // a value that is no count (another type, another size, unreadable)
};

class IMachineState {
public:
    virtual ~IMachineState() = default;

    // A REG_SZ value; false when the key or the value is missing or unreadable.
    virtual bool ReadString(RegRoot root, const std::string& strKey, const std::string& strName,
                            std::string& strValue) = 0;
    virtual SharedCountState ReadSharedCount(const std::string& strPath, DWORD& dwCount) = 0;
    // The short (8.3) form of an existing file's or directory's path; "" when there is none.
    virtual std::string ShortPathOf(const std::string& strPath) = 0;
    // True when the directory is a link (junction or symbolic link) to another place.
    virtual bool IsLinkedDirectory(const std::string& strDir) = 0;
    // True when Program Manager keeps the program group: the shell's folder
    // of links for it is in the user's Programs folder.
    virtual bool HasProgramGroup(const std::string& strGroup) = 0;
    // True when Program Manager answers; a session without a desktop shell
    // (a deployment tool's service, no display under Wine) has none.
    virtual bool IsProgramManagerAnswering() = 0;
    // True when the group is a folder of shell links, as an install where
    // Program Manager did not answer makes it.
    virtual bool HasShellLinkGroup(const std::string& strGroup) = 0;
};

// The answers to "Remove the shared file?"; keeping it is the safe one.
// SHARED_UNASKED: nobody is there to answer (an unattended removal), so
// every such file stays.
enum SharedAnswer { SHARED_REMOVE, SHARED_REMOVE_ALL, SHARED_KEEP, SHARED_KEEP_ALL, SHARED_UNASKED };

class ISharedFileQuestion {
public:
    virtual ~ISharedFileQuestion() = default;
    // Asked when a shared file is counted as used by nobody any more.
    virtual SharedAnswer AskRemoveSharedFile(const std::string& strPath) = 0;
};
