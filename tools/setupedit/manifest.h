// The manifest: what a vendor writes to describe a distribution medium.
// Loading checks everything (fields, names, sources, sizes) and throws
// ToolError naming the manifest, the field and the reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ManifestFile {
    std::filesystem::path source;
    std::string field;         // where it stands in the manifest, for messages
    std::string name;          // in the ANSI code page
    std::uint32_t flags = 0;   // FILE_SELFREG, FILE_SELFREG_ABSENT, FILE_SHORTCUT, FILE_SHARED
    std::uint32_t size = 0;
};

struct ManifestDir {
    std::string name;  // in the ANSI code page
    std::vector<ManifestDir> dirs;
    std::vector<ManifestFile> files;
};

struct Manifest {
    std::uint8_t identity[16] = {};
    std::string title;          // every text in the ANSI code page
    std::string programFolder;
    std::string destDir;
    std::string infoTitle;
    std::string infoText;       // CR LF line breaks
    int mediaType = 0;
    std::uint32_t extraBytes = 0;
    std::uint16_t opaqueWord = 0;
    std::uint32_t opaqueDword = 0;
    bool hasSetupExe = false;
    std::filesystem::path setupExe;
    std::filesystem::path uninstaller;
    std::uint32_t uninstBytes = 0;
    ManifestDir application;  // named "Applikation"
    ManifestDir system;       // named "WinSys"
    std::uint32_t appBytes = 0;
    std::uint32_t sysBytes = 0;
};

constexpr std::uint32_t kMaxInfoTextBytes = 1u << 20;

Manifest LoadManifest(const std::filesystem::path& file);

// The files in payload order: at every directory its subdirectories (each
// with its subtree) first, then its own files; Applikation before WinSys.
std::vector<const ManifestFile*> PayloadOrder(const Manifest& m);
