// The engine on real files under Wine, for every engine test program.
//
// Each test gets a fresh folder holding
//   files\    sources written by the test (Put), and its manifests
//   media\    the medium setupedit builds from a manifest: disk1, disk2, ...
//   source\   the drive the disks go into: disk1's files, and at each disk
//             prompt the asked volume's Data.dat (or what the test scripted)
//   dest\     the destination directory (m_strDestDir)
//   sys\      the system directory (m_strSysDir)
// and a scripted callback that logs every call in a readable form and answers
// from per-code queues. Message boxes land in the same log.
//
// Log entries: "status NAME", "readonly PATH", "disk INDEX LETTER",
// "error KIND" (with " PATH" or " LETTER" where the kind carries one),
// "box STYLE TEXT". Progress calls are counted, not logged.
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

class EngineFixture : public ::testing::Test, private IMessageBoxPresenter {
protected:
    EngineFixture();
    ~EngineFixture() override;

    // --- Sources and media
    // Writes a file below files\ (creating its folders) and returns its path.
    std::string Put(const std::string& rel, const std::string& contents) const;
    // n bytes in which a byte out of place shows: different seeds differ.
    static std::string Pattern(size_t n, unsigned seed);
    // A manifest with a 300-byte uninstaller and empty application and
    // system directories; tests add "files" and "dirs" to them.
    nlohmann::json Manifest(int mediaType) const;
    // A file entry of a manifest over a source below files\.
    static nlohmann::json Entry(const std::string& source, const std::string& name = std::string());
    // Builds media\ from the manifest and puts disk1 into source\; returns
    // the number of volumes.
    int BuildMedium(const nlohmann::json& manifest);
    std::string VolumePath(int index) const;  // media\diskN\Data.dat of a zero-based volume
    // Puts a volume's Data.dat into source\ (-1 takes it out).
    void InsertVolume(int index) const;

    // --- The engine
    // What LoadInstallInfo does with the medium in source\, without the
    // machine's drives and program groups; the destination and system
    // directories are bound to dest\ and sys\. FALSE when the description
    // was refused (the code is in the last-error value).
    BOOL LoadEngine();
    // LoadEngine, then CopyFiles.
    BOOL Install();

    // --- The callback
    // Answers for each code, used in order; when a code's queue is empty it
    // answers 1. At a disk prompt the next entry of m_volumes is inserted
    // first (-1: none); with none scripted the asked volume is inserted, and
    // a volume the medium does not have is answered with 0 (the user quits).
    std::map<int, std::deque<int>> m_answers;
    std::deque<int> m_volumes;
    // Runs at every call before it is answered (at a disk prompt, after the
    // volume was inserted).
    std::function<void(int code, INT_PTR param1, INT_PTR param2)> m_onCall;
    std::vector<std::string> m_log;
    int m_nProgressCalls = 0;
    int m_nLastPercent = -1;
    // The log entries that start with prefix.
    std::vector<std::string> Logged(const std::string& prefix) const;

    // --- Checks
    // Every "Fil*.tmp" below the test's folder and below the extra folders.
    std::vector<std::string> TempFilesLeft(const std::vector<std::string>& extra = {}) const;
    static bool Exists(const std::string& path);
    static std::string Read(const std::string& path);
    static void Write(const std::string& path, const std::string& contents);
    static void SetReadOnly(const std::string& path, bool readOnly);
    // A library of this test program's folder (the version variants).
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

// A file opened by the test with no sharing at all, closed on destruction.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsHeld() const;

private:
    HANDLE m_hFile;
};
