// A program group as the shell keeps one where Program Manager does not
// answer (a service account has no shell): a folder of shell links in the
// all-users Programs folder of the Start menu, one link per item, named by
// its caption.
#pragma once

#include <cstddef>
#include <string>

#include <windows.h>

#include "platform/program_item.h"

// The group's folder: the all-users Programs folder, a backslash and the
// group name. FALSE, with the shell's error, when the shell cannot say where
// that folder is; ERROR_INVALID_NAME when the group name, or one of its
// backslash-separated parts, is not a plain folder name.
BOOL GetShellLinkGroupFolder(const std::string& strGroup, std::string& strFolder);

// Makes the group's folder (and the folders above it that are missing) and in
// it one link per item, in order: "caption.lnk", starting the item's command
// line in the directory of that file. A link of the same name is replaced.
// Names are checked before anything is made: a caption that is not a plain
// file name fails with ERROR_INVALID_NAME. Otherwise FALSE with the error of
// the first step that failed; the links made before it stay.
BOOL CreateShellLinkGroup(const std::string& strGroup, const ProgramItem* const* items, std::size_t count);
