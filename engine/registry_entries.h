// Where the product's registry entries live: the registration writes them, the
// rollback and the uninstaller take them back, so all build the names here.
#pragma once

#include <string>

#include "platform/path.h"
#ifdef _WIN32
#include "platform/registry.h"
#endif

// Below HKEY_LOCAL_MACHINE.
constexpr const char* APP_PATHS_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* SHARED_DLLS_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The App Paths and Uninstall keys hold every product's entry; ours is named
// by one key component. An empty name, or one with a backslash, would name
// the shared key itself or another product's.
inline bool IsOneKeyName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }

// The App Paths key of the main program (a bare file name such as Tessel.exe).
inline std::string AppPathKey(const std::string& strMainExe) { return std::string(APP_PATHS_KEY) + "\\" + strMainExe; }

// The product's Uninstall key, named by its title.
inline std::string UninstallKey(const std::string& strProductTitle)
{
    return std::string(UNINSTALL_KEY) + "\\" + strProductTitle;
}

// Below HKEY_CLASSES_ROOT: the resource files' document type, named after the
// main program ("Tessel.Document"), and their extension key (".vtr").
inline std::string DocTypeKey(const std::string& strMainExe) { return BaseName(strMainExe) + ".Document"; }
// The extension of the product's resource files, without the dot.
constexpr const char* RESOURCE_EXTENSION = "vtr";
inline std::string ExtensionKey(const std::string& strResExt) { return "." + strResExt; }

#ifdef _WIN32
// A value as the log names it: "HKLM\key\name" ("HKCR" below the classes
// root), "(default)" for the key's default value. (The names above serve the
// portable uninstaller's planning too; this one the Windows engine only.)
inline std::string RegValueName(HKEY root, const std::string& key, const std::string& name)
{
    const char* pszRoot = root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\";
    return pszRoot + key + "\\" + (name.empty() ? "(default)" : name);
}
#endif
