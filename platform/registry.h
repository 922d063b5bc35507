// Registry helpers for the engine's registration and rollback. Each opens
// what it needs and closes it before returning; the caller's root is never
// closed. Result: the platform error code, 0 for success; every failure is
// also left in the thread's last-error value.
//
// Working limits: key path 259 characters, value name 255, string data
// written 259; longer input is refused with ERROR_FILENAME_EXCED_RANGE
// (paths and names) or ERROR_INVALID_PARAMETER (data). A string value read
// may hold at most 516 bytes with its terminator, else ERROR_MORE_DATA.
// Whole values (GetRegValue, SetRegValue) have no limit of their own.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

// A value as the registry holds it: its type and all of its bytes, strings
// in UTF-16 as the registry keeps them.
struct RegValue {
    DWORD dwType = REG_NONE;
    std::string data;
};

// Creates the key (and any missing keys above it) or opens it, KEY_ALL_ACCESS.
LONG CreateRegKey(HKEY root, const std::string& key);
// 0 when the key exists and can be opened for reading, else the open error.
LONG RegKeyExists(HKEY root, const std::string& key);
// Deletes the key and everything below it, depth first; a failure deep in
// the tree leaves the failing key and its ancestors in place.
LONG DeleteRegKeyTree(HKEY parent, const std::string& key);
// Writes REG_SZ text (terminator included); creates the key when missing.
LONG SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& text);
// Reads a value as text; out changes only on success. An empty name is the
// key's default value.
LONG GetRegString(HKEY root, const std::string& key, const std::string& name, std::string& out);
// Writes a REG_DWORD; creates the key when missing.
LONG SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
// Reads 4 bytes of a value; out changes only on success.
LONG GetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD& out);
LONG DeleteRegValue(HKEY root, const std::string& key, const std::string& name);
// Reads a value whole, whatever its type and size; out changes only on success.
LONG GetRegValue(HKEY root, const std::string& key, const std::string& name, RegValue& out);
// Writes a value exactly as GetRegValue read it; creates the key when missing.
LONG SetRegValue(HKEY root, const std::string& key, const std::string& name, const RegValue& value);
// The names of the key's subkeys and values (the default value as "").
LONG ListRegKey(HKEY root, const std::string& key, std::vector<std::string>& subkeys,
                std::vector<std::string>& values);
// A value as a log shows it: a string in quotes (in the ANSI code page), a
// REG_DWORD as its number, any other by its type and size.
std::string DescribeRegValue(const RegValue& value);

// Test seam: makes the helpers use target wherever a caller passes the
// predefined root (HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT), so that engine
// tests write below a test key. nullptr restores the real root. The target
// stays owned by the caller.
void RedirectRegistryRoot(HKEY predefined, HKEY target);
