// The engine on real files under Wine, the fixture of every engine test.
//
// Each test gets a fresh folder holding
//   files\         sources written by the test, and its manifest
//   media\         the medium: disk1, disk2, ...
//   source\        the drive the disks go into: disk1's files, and at each
//                  disk prompt the asked volume's Data.dat (or what the test
//                  scripted)
//   Vantler Dest\  the destination directory (with a blank, as "Program
//                  Files" has); made by the copy phase or DescribeInCode
//   sys\           the system directory
// the registry helpers' HKLM and HKCR in a sandbox, and a scripted callback
// that logs every call and answers from per-code queues. Message boxes land
// in the same log. Entries: "status NAME", "readonly PATH", "disk INDEX
// LETTER", "error KIND" (then " PATH" or " LETTER" where the kind carries
// one), "box STYLE TEXT". Progress calls are not logged; m_nLastPercent keeps
// the last one.
//
// Its members are public, so that the rows of a table can reach them.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/setup_engine.h"
#include "framework/message_box.h"
#include "tests/engine/engine_support.h"
#include "tests/support/temp_dir.h"

class EngineFixture : public ::testing::Test, private IMessageBoxPresenter {
public:
    EngineFixture();
    ~EngineFixture() override;

    // --- Sources and media
    // n bytes in which a byte out of place shows; different seeds differ.
    static std::string Pattern(size_t n, unsigned seed);
    // A manifest with a 300-byte uninstaller and empty application and
    // system directories, to which tests add "files" and "dirs".
    nlohmann::json NewManifest(int mediaType) const;
    // Writes files\name (size pattern bytes) and lists it in the manifest
    // directory dir.
    void AddFile(nlohmann::json& dir, const std::string& name, size_t size, unsigned seed) const;
    // Packs the manifest into media\ and puts disk1 into source\; returns
    // the number of volumes.
    int BuildMedium(const nlohmann::json& manifest);
    int BuildMedium(const std::string& manifest, const std::function<void(Manifest&)>& edit = {});
    // A medium packed elsewhere, copied into media\ (so that a test may
    // damage it), with its disk1 in source\.
    void InsertMedium(const std::string& packed);
    std::string VolumePath(int index) const;  // media\diskN\Data.dat, zero-based
    void InsertVolume(int index) const;      // into source\; -1 takes it out

    // --- The engine
    // What LoadInstallInfo does with the medium in source\ (without the
    // machine's drives and program groups), binding the destination and
    // system directories to m_strDest and m_strSys. FALSE with the code when
    // the description is refused.
    BOOL Load(CSetupEngine& engine);
    BOOL LoadEngine() { return Load(m_engine); }
    BOOL Install() { return LoadEngine() && m_engine.CopyFiles(); }
    // Instead of a medium: the Vantler layout built in code (DescribeVantler),
    // bound to the destination (made) and sys\, m_pApp and m_pSys set. Tests
    // add files by their full installed paths, as the copy phase leaves them.
    void DescribeInCode();

    // --- The callback
    // Answers by code, used in order; an empty queue answers 1. At a disk
    // prompt the next of m_volumes is inserted first (-1: none); with none
    // scripted the asked volume goes in, and one the medium does not have
    // is answered 0 (the user gives up).
    std::map<int, std::deque<int>> m_answers;
    std::deque<int> m_volumes;
    // Runs at every call before it is answered (after a volume went in);
    // true: the user quits there (the call is answered 0).
    std::function<bool(int code, INT_PTR param1, INT_PTR param2)> m_onCall;
    Lines m_log;
    int m_nLastPercent = -1;
    Lines Logged(const std::string& prefix) const;  // the entries starting with prefix

    // --- Files
    std::string Dest(const std::string& rel) const { return m_strDest + "\\" + rel; }
    std::string Sys(const std::string& rel) const { return m_strSys + "\\" + rel; }
    std::string Source(const std::string& rel) const { return m_strFiles + "\\" + rel; }
    // The target holds the bytes of files\source.
    bool Installed(const std::string& target, const std::string& source) const;
    // Every temporary file below the test's folder and the extra folders.
    Lines TempFilesLeft(const Lines& extra = {}) const;

    TempDir m_root;
    std::string m_strFiles, m_strMedia, m_strSource, m_strDest, m_strSys;
    int m_nVolumes = 0;
    RegistrySandbox m_registry;
    CSetupEngine m_engine;
    InstallNode* m_pApp = nullptr;  // the first-level nodes, after DescribeInCode
    InstallNode* m_pSys = nullptr;

private:
    static int Callback(int code, INT_PTR param1, INT_PTR param2);
    int Answer(int code, INT_PTR param1, INT_PTR param2);
    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;

    IMessageBoxPresenter* m_pPreviousPresenter;
};
