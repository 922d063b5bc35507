// The machine as the removal planner sees it, read through the platform layer.
#pragma once

#include <windows.h>

#include "uninstall/machine_state.h"

// The registry root a RegRoot stands for.
HKEY RootKey(RegRoot root);

// The folder that holds a program group's items (one link file each): the
// shell keeps the groups that Program Manager makes below the Programs folder.
std::string ProgramGroupFolder(const std::string& strGroup);

class CMachineState : public IMachineState {
public:
    bool ReadString(RegRoot root, const std::string& strKey, const std::string& strName,
                    std::string& strValue) override;
    SharedCountState ReadSharedCount(const std::string& strPath, DWORD& dwCount) override;
    std::string ShortPathOf(const std::string& strPath) override;
    bool IsLinkedDirectory(const std::string& strDir) override;
    bool HasProgramGroup(const std::string& strGroup) override;
    bool IsProgramManagerAnswering() override;
    bool HasShellLinkGroup(const std::string& strGroup) override;
};
