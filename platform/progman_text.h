// The texts exchanged with Program Manager: the commands sent and the group
// list it returns. Pure functions, so that they build and test anywhere.
#pragma once

#include <string>
#include <vector>

#include "platform/program_item.h"

// Group names longer than this do not fit the 64-byte name buffer.
const std::string::size_type PROGMAN_MAX_GROUP_NAME = 63;
// Commands longer than this do not fit the 1,040-byte send buffer.
const std::string::size_type PROGMAN_MAX_COMMAND = 1039;

// "[CreateGroup(name)]"; false, and nothing formatted, when name is too long.
bool FormatCreateGroup(const std::string& name, std::string& command);
// "[AddItem("command line",caption)]"; false when the result is too long.
bool FormatAddItem(const ProgramItem& item, std::string& command);

// Splits the reply to the "Groups" request (names each ended by CR LF, then
// a NUL) into names. The list has one entry per LF after the first byte, an
// entry per line, in text order; runs of LF count as one break for the names
// (surplus entries stay empty). A last name without its LF is kept as a
// further entry rather than lost. Only reply[0..size) or up to its NUL is read.
std::vector<std::string> ParseGroupList(const char* reply, std::size_t size);
