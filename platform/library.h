// Loading libraries where they are meant to come from. A program that runs
// from a folder others can write to (the uninstaller's copy runs from the
// temporary directory) must not pick up a library planted beside it, so it
// restricts the search to the system directory first thing.
#pragma once

#include <string>

#include <windows.h>

// Makes later loads by name search the system directory only, where the
// platform offers that (SetDefaultDllDirectories), else at least drops the
// current directory from the search. TRUE when the search is restricted.
BOOL RestrictLibrarySearch();

// Loads a library of the system directory by its bare name.
HMODULE LoadSystemLibrary(const char* pszName);
