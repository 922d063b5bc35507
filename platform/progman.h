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

// The operations below send their commands only when every one of them can
// be formatted (progman_text.h: a safe group name and captions, nothing that
// cannot be quoted, nothing beyond the buffers); otherwise they send nothing
// and return FALSE with ERROR_INVALID_PARAMETER. Beyond that they return FALSE
// only when DDE cannot be used: commands that Program Manager did not answer
// or refused are not reported.

// Creates (or activates) the group, then adds one item per element, in order.
BOOL DdeCreateProgramGroup(const std::string& name, const ProgramItem* const* items, std::size_t count);

BOOL DdeCreateGroup(const std::string& name);
BOOL DdeAddItems(const ProgramItem* const* items, std::size_t count);
// Selects the group and deletes the items of these captions from it; when
// the group cannot be selected, no item is deleted (an item command acts on
// whichever group was selected last).
BOOL DdeDeleteItems(const std::string& group, const std::vector<std::string>& captions);
// Deletes the group with every item in it.
BOOL DdeDeleteGroup(const std::string& name);

// Commands as they are, refused only when one is too long for the buffer.
BOOL DdeExecuteAll(const std::vector<std::string>& commands);

// The plain-text value of item, as many bytes as Program Manager sent
// (its NUL included). TRUE with an empty text when nobody answered.
BOOL DdeRequestText(const std::string& item, std::string& text);
