// Program Manager client over DDE (service and topic "PROGMAN"). Every
// operation registers, connects, transacts, disconnects and unregisters by
// itself; nothing stays open between calls.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/program_item.h"

// Names of the existing groups, in Program Manager's order. FALSE when DDE
// cannot be used or nobody answered (no Program Manager) or the answer is empty.
BOOL GetProgramGroups(std::vector<std::string>& groups);

// Creates (or activates) the group, then adds one item per element, in
// order. Input beyond the working limits (a name over 63 characters, an
// item command over 1,039) is refused before anything is sent: FALSE with
// ERROR_INVALID_PARAMETER. Otherwise FALSE only when DDE cannot be used;
// commands that Program Manager did not answer or refused are not reported.
BOOL DdeCreateProgramGroup(const std::string& name, const ProgramItem* const* items, std::size_t count);

BOOL DdeCreateGroup(const std::string& name);
BOOL DdeAddItems(const ProgramItem* const* items, std::size_t count);
BOOL DdeExecuteAll(const std::vector<std::string>& commands);

// The plain-text value of item, as many bytes as Program Manager sent
// (its NUL included). TRUE with an empty text when nobody answered.
BOOL DdeRequestText(const std::string& item, std::string& text);
