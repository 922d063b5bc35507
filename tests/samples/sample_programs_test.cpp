// The sample programs run and end the way a user would see them: a window that
// closes normally.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/samples/sample_paths.h"

namespace {

const DWORD kStartTimeoutMs = 10000;
const DWORD kExitTimeoutMs = 10000;

// A started program; one still running when the test ends is terminated.
class CChildProcess {
public:
  explicit CChildProcess(const std::string& strPath) : m_pi() {
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    std::string strCommand = "\"" + strPath + "\"";
    m_bStarted = CreateProcessA(strPath.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0,
                                nullptr, nullptr, &si, &m_pi) != FALSE;
  }
  ~CChildProcess() {
    if (!m_bStarted)
      return;
    if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(m_pi.hProcess, 255);
    CloseHandle(m_pi.hThread);
    CloseHandle(m_pi.hProcess);
  }
  CChildProcess(const CChildProcess&) = delete;
  CChildProcess& operator=(const CChildProcess&) = delete;

  bool Started() const { return m_bStarted; }
  DWORD Id() const { return m_pi.dwProcessId; }

  // The exit code, or STILL_ACTIVE when the program did not end in time.
  DWORD WaitForExit() const {
    if (WaitForSingleObject(m_pi.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0)
      return STILL_ACTIVE;
    DWORD dwCode = STILL_ACTIVE;
    GetExitCodeProcess(m_pi.hProcess, &dwCode);
    return dwCode;
  }

private:
  PROCESS_INFORMATION m_pi;
  bool m_bStarted;
};

struct WindowSearch {
  DWORD dwProcessId;
  const char* pszClass;
  HWND hwnd;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  WindowSearch* pSearch = reinterpret_cast<WindowSearch*>(lParam);
  DWORD dwProcessId = 0;
  GetWindowThreadProcessId(hwnd, &dwProcessId);
  char szClass[64] = "";
  GetClassNameA(hwnd, szClass, sizeof(szClass));
  if (dwProcessId == pSearch->dwProcessId && lstrcmpA(szClass, pSearch->pszClass) == 0 &&
      IsWindowVisible(hwnd)) {
    pSearch->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Waits for the process's visible top-level window of the given class.
HWND FindProcessWindow(const CChildProcess& process, const char* pszClass) {
  WindowSearch search = { process.Id(), pszClass, nullptr };
  for (DWORD dwWaited = 0; dwWaited < kStartTimeoutMs && !search.hwnd; dwWaited += 50) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.hwnd)
      Sleep(50);
  }
  return search.hwnd;
}

std::string WindowText(HWND hwnd) {
  char sz[256] = "";
  GetWindowTextA(hwnd, sz, sizeof(sz));
  return sz;
}

struct WindowProgram {
  const char* pszFile;
  const char* pszClass;
  const char* pszCaption;
};

TEST(SampleProgramTest, WindowProgramsShowTheirWindowAndCloseNormally) {
  const WindowProgram programs[] = {
    { "bin/Tessel.exe", "VantlerTessel", "Tessel - Vantler Resource Editor" },
    { "bin/Joust.exe", "VantlerDemoJoust", "Joust - Vantler Delphi Demo" },
    { "bin/Q7.exe", "VantlerDemoQ7", "Q7 - Vantler Delphi Demo" },
  };
  for (const WindowProgram& program : programs) {
    SCOPED_TRACE(program.pszFile);
    CChildProcess process(StagePath(program.pszFile));
    ASSERT_TRUE(process.Started()) << GetLastError();
    HWND hwnd = FindProcessWindow(process, program.pszClass);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(program.pszCaption, WindowText(hwnd));
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, process.WaitForExit());
  }
}

}  // namespace
