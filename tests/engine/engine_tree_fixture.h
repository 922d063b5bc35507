// An engine whose install tree is built in code the way the copy phase leaves
// it: the two first-level directories under their stored names, every file
// named by its full installed path in a fresh destination and system folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/setup_engine.h"
#include "tests/support/temp_dir.h"

class EngineTreeFixture : public ::testing::Test {
protected:
    EngineTreeFixture()
        : m_strDest(m_temp.Path("Vantler Dest")), m_strSys(m_temp.Path("System")),
          m_pApp(m_engine.AddDirectory(m_engine.GetRoot(), ROOT_APPLICATION_NAME)),
          m_pSys(m_engine.AddDirectory(m_engine.GetRoot(), ROOT_SYSTEM_NAME))
    {
        CreateDirectoryA(m_strDest.c_str(), nullptr);
        CreateDirectoryA(m_strSys.c_str(), nullptr);
        m_engine.m_strDestDir = m_strDest;
        m_engine.m_strSysDir = m_strSys;
        m_engine.m_strProductTitle = "Vantler";
        m_engine.m_strMainExe = "Tessel.exe";
        m_engine.m_strResExt = "vtr";
    }

    // Adds a file below node (a first-level node or one added below it) whose
    // installed path is dir + "\" + name; the file itself is not made.
    CInstalledFile* AddFile(InstallNode* node, const std::string& dir, const std::string& name, DWORD flags)
    {
        return m_engine.AddFile(*node, dir + "\\" + name, 0, flags);
    }

    TempDir m_temp;
    CSetupEngine m_engine;
    const std::string m_strDest;  // with a blank, as "Program Files" has
    const std::string m_strSys;
    InstallNode* m_pApp;
    InstallNode* m_pSys;
};
