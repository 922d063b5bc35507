// A program group as the shell keeps one where Program Manager does not
// answer (a service account has no shell): a folder of shell links in the
// all-users Programs folder of the Start menu, one link per item, named by
// its caption. The shell keeps a group that Program Manager made the same
// way in the user's Programs folder, where it can go without Program
// Manager too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/program_item.h"

// Group names and captions follow Program Manager's rules (progman_text.h),
// as the shell keeps a group made by it in the same way: a name that would
// address another folder fails with ERROR_INVALID_PARAMETER, before anything
// is made or deleted.

// The group's folder: the all-users Programs folder (the user's without
// bAllUsers), a backslash and the group name. FALSE, with the shell's error,
// when the shell cannot say where that folder is.
BOOL GetShellLinkGroupFolder(const std::string& strGroup, std::string& strFolder, BOOL bAllUsers = TRUE);

// Makes the group's folder (and the folders above it that are missing) and in
// it one link per item, in order: "caption.lnk", starting the item's command
// line in the directory of that file. A link of the same name is replaced.
// FALSE with the error of the first step that failed; the links made before
// it stay.
BOOL CreateShellLinkGroup(const std::string& strGroup, const ProgramItem* const* items, std::size_t count);

// Deletes the links of these captions from the group's folder (one that is
// not there is no failure) and, with bFolder, the folder too when nothing
// else is left in it: what a rollback or an uninstaller takes back.
BOOL DeleteShellLinks(const std::string& strGroup, const std::vector<std::string>& captions, BOOL bFolder,
                      BOOL bAllUsers = TRUE);
