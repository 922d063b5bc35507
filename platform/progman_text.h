// The texts exchanged with Program Manager: the commands sent and the group
// list it returns. Pure functions, so that they build and test anywhere.
//
// Every argument taken from data goes inside double quotes, where Program
// Manager reads ',', '(', ')', '[' and ']' literally up to the closing quote.
// Nothing can escape a quote inside the value, so a value holding one (or a
// control character) is refused and no command is formatted.
#pragma once

#include <string>
#include <vector>

#include "platform/program_item.h"

// Group names longer than this do not fit the 64-byte name buffer.
const std::string::size_type PROGMAN_MAX_GROUP_NAME = 63;
// Commands longer than this do not fit the 1,040-byte send buffer.
const std::string::size_type PROGMAN_MAX_COMMAND = 1039;

// The shell keeps a group as a folder below its Programs folder, named by the
// group name, and an item as the link "<caption>.lnk" in it; a backslash in
// the name makes a sub-folder where the shell nests groups. So a group name
// is one or more parts joined by backslashes, and each part, as the file
// system keeps it (trailing dots and blanks dropped), is a plain name as a
// file on the target is named: not empty, no separator, drive colon or
// wildcard, not a device name. A part of dots and blanks only ("..", ". .")
// is refused, as it would address the folder around it.
bool IsSafeGroupName(const std::string& name);
// A caption names one link file in the group's folder, by the same rule as
// one part of a group name.
bool IsSafeCaption(const std::string& caption);
// A name as the file system keeps it: without trailing dots and blanks.
std::string StoredName(const std::string& name);

// Each formats one command and returns true; false, with command unchanged,
// when an argument is refused by the rules above, cannot be quoted, or does
// not fit the buffers.
// [CreateGroup("name")]
bool FormatCreateGroup(const std::string& name, std::string& command);
// [ShowGroup("name",show)]: selects the group for the item commands after it.
bool FormatShowGroup(const std::string& name, int nShow, std::string& command);
// [AddItem("command line","caption")]
bool FormatAddItem(const ProgramItem& item, std::string& command);
// [DeleteItem("caption")]: the item of that caption in the selected group.
bool FormatDeleteItem(const std::string& caption, std::string& command);
// [DeleteGroup("name")]: the group with every item in it.
bool FormatDeleteGroup(const std::string& name, std::string& command);

// Splits the reply to the "Groups" request (names each ended by CR LF, then
// a NUL) into names. The list has one entry per LF after the first byte, an
// entry per line, in text order; runs of LF count as one break for the names
// (surplus entries stay empty). A last name without its LF is kept as a
// further entry rather than lost. Only reply[0..size) or up to its NUL is read.
std::vector<std::string> ParseGroupList(const char* reply, std::size_t size);
