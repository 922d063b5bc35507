// The engine on real files under Wine, for every engine test program.
//
// Each test gets a fresh folder holding
//   files\    sources written by the test, and its manifest
//   media\    the medium setupedit builds from the manifest: disk1, disk2, ...
//   source\   the drive the disks go into: disk1's files, and at each disk
//             prompt the asked volume's Data.dat (or what the test scripted)
//   dest\     the destination directory (m_strDestDir)
//   sys\      the system directory (m_strSysDir)
// and a scripted callback that logs every call and answers from per-code
// queues. Message boxes land in the same log. Entries: "status NAME",
// "readonly PATH", "disk INDEX LETTER", "error KIND" (then " PATH" or
// " LETTER" where the kind carries one), "box STYLE TEXT". Progress calls
// are not logged; m_nLastPercent keeps the last one.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/setup_engine.h"
#include "framework/message_box.h"
#include "tests/support/temp_dir.h"

typedef std::vector<std::string> Lines;

class EngineFixture : public ::testing::Test, private IMessageBoxPresenter {
protected:
    EngineFixture();
    ~EngineFixture() override;

    // --- Sources and media
    // n bytes in which a byte out of place shows; different seeds differ.
    static std::string Pattern(size_t n, unsigned seed);
    // A manifest with a 300-byte uninstaller and empty application and
    // system directories, to which tests add "files" and "dirs".
    nlohmann::json Manifest(int mediaType) const;
    // Writes files\name (size pattern bytes) and lists it in the manifest
    // directory dir.
    void AddFile(nlohmann::json& dir, const std::string& name, size_t size, unsigned seed) const;
    // Builds media\ from the manifest and puts disk1 into source\; returns
    // the number of volumes.
    int BuildMedium(const nlohmann::json& manifest);
    std::string VolumePath(int index) const;  // media\diskN\Data.dat, zero-based
    void InsertVolume(int index) const;      // into source\; -1 takes it out

    // --- The engine
    // What LoadInstallInfo does with the medium in source\ (without the
    // machine's drives and program groups), binding the destination and
    // system directories to dest\ and sys\. FALSE with the code when the
    // description is refused.
    BOOL LoadEngine();
    BOOL Install();  // LoadEngine, then CopyFiles

    // --- The callback
    // Answers by code, used in order; an empty queue answers 1. At a disk
    // prompt the next of m_volumes is inserted first (-1: none); with none
    // scripted the asked volume goes in, and one the medium does not have
    // is answered 0 (the user gives up).
    std::map<int, std::deque<int>> m_answers;
    std::deque<int> m_volumes;
    // Runs at every call before it is answered (after a volume went in).
    std::function<void(int code, INT_PTR param1, INT_PTR param2)> m_onCall;
    Lines m_log;
    int m_nLastPercent = -1;
    Lines Logged(const std::string& prefix) const;  // the entries starting with prefix

    // --- Files
    std::string Dest(const std::string& rel) const { return m_strDest + "\\" + rel; }
    std::string Sys(const std::string& rel) const { return m_strSys + "\\" + rel; }
    std::string Source(const std::string& rel) const { return m_strFiles + "\\" + rel; }
    // An existing file at path before the install (its folder is made).
    static void Place(const std::string& path, const std::string& contents, bool readOnly = false);
    // The target holds the bytes of files\source.
    bool Installed(const std::string& target, const std::string& source) const;
    // Every "Fil*.tmp" below the test's folder and the extra folders.
    Lines TempFilesLeft(const Lines& extra = {}) const;
    static std::string Read(const std::string& path);
    static void Write(const std::string& path, const std::string& contents);
    // A file beside the test program (the version-rule libraries).
    static std::string TestLibrary(const std::string& name);

    TempDir m_root;
    std::string m_strFiles, m_strMedia, m_strSource, m_strDest, m_strSys;
    int m_nVolumes = 0;
    CSetupEngine engine;

private:
    static int Callback(int code, INT_PTR param1, INT_PTR param2);
    int Answer(int code, INT_PTR param1, INT_PTR param2);
    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;

    IMessageBoxPresenter* m_pPreviousPresenter;
};

// A file opened by the test with no sharing at all, until destruction.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : m_hFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldFile()
    {
        if (IsHeld())
            CloseHandle(m_hFile);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsHeld() const { return m_hFile != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_hFile;
};
