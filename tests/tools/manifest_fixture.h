// A temporary folder with source files and a manifest written from JSON.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/temp_dir.h"

class ManifestFolder {
public:
    // Writes a file below the folder, creating its parent folders.
    std::string Put(const std::string& rel, const std::string& contents) const
    {
        std::filesystem::path p = std::filesystem::path(m_dir.Root()) / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary);
        out << contents;
        return p.string();
    }
    std::string Write(const nlohmann::json& j, const std::string& name = "m.json") const
    {
        return Put(name, j.dump(2));
    }
    std::string Path(const std::string& rel) const { return m_dir.Path(rel); }
    const std::string& Root() const { return m_dir.Root(); }

    // A small valid manifest over files that this call creates.
    nlohmann::json Valid() const
    {
        Put("uninst.exe", std::string(300, 'u'));
        Put("bin/tool.exe", std::string(1000, 't'));
        Put("bin/lib.ocx", std::string(2000, 'o'));
        Put("doc/read.txt", "first\nsecond\r\nthird\rfourth");
        Put("sys/rt.dll", std::string(500, 'r'));
        Put("info.txt", "Welcome\nto the product.\n");
        return nlohmann::json::parse(R"({
          "product": { "title": "Vantler", "productId": "0x56544C52", "programFolder": "Vantler",
                       "destDir": "\\Vantler", "infoTitle": "Welcome", "infoText": "info.txt" },
          "mediaType": 2, "extraBytes": 7, "opaqueWord": 258, "opaqueDword": 3,
          "uninstaller": "uninst.exe",
          "application": {
            "files": [ { "source": "bin/tool.exe", "flags": ["shortcut"] },
                       { "source": "bin/lib.ocx", "name": "Lib.ocx", "flags": ["selfreg", "shared"] } ],
            "dirs": [ { "name": "Docs", "files": [ { "source": "doc/read.txt" } ] } ] },
          "system": { "files": [ { "source": "sys/rt.dll", "flags": ["shared", "selfreg-absent"] } ] }
        })");
    }

private:
    TempDir m_dir;
};
