// Where the product's registry entries live: the registration writes them and
// the rollback takes them back, so both build the names here.
#pragma once

#include <string>

#include "platform/path.h"
#include "platform/registry.h"

// Below HKEY_LOCAL_MACHINE.
constexpr const char* APP_PATHS_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* SHARED_DLLS_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

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
inline std::string ExtensionKey(const std::string& strResExt) { return "." + strResExt; }

// A value as the log names it: "HKLM\key\name" ("HKCR" below the classes
// root), "(default)" for the key's default value.
inline std::string RegValueName(HKEY root, const std::string& key, const std::string& name)
{
    const char* pszRoot = root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\";
    return pszRoot + key + "\\" + (name.empty() ? "(default)" : name);
}
