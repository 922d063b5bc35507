// Version resources of the shipped binaries, read the way the setup program reads
// them: the destination check trusts an Uninst.exe only by its InternalName, and
// the copy phase compares fixed version records.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string>
#include <vector>

#include "tests/samples/sample_paths.h"

namespace {

class CVersionInfo {
public:
  explicit CVersionInfo(const std::string& strPath) {
    DWORD dwHandle = 0;
    DWORD cb = GetFileVersionInfoSizeA(strPath.c_str(), &dwHandle);
    if (cb == 0)
      return;
    m_abData.resize(cb);
    if (!GetFileVersionInfoA(strPath.c_str(), 0, cb, m_abData.data()))
      m_abData.clear();
  }

  bool IsLoaded() const { return !m_abData.empty(); }

  // The first translation, as the "llllcccc" key of the string table.
  std::string Translation() const {
    void* pv = nullptr;
    UINT cb = 0;
    if (!VerQueryValueA(m_abData.data(), "\\VarFileInfo\\Translation", &pv, &cb) || cb < 4)
      return std::string();
    const WORD* pw = static_cast<const WORD*>(pv);
    char sz[16];
    snprintf(sz, sizeof(sz), "%04x%04x", pw[0], pw[1]);
    return sz;
  }

  // A string of the first translation's table; empty when it is missing.
  std::string String(const char* pszName) const {
    std::string strKey = "\\StringFileInfo\\" + Translation() + "\\" + pszName;
    void* pv = nullptr;
    UINT cch = 0;
    if (!VerQueryValueA(m_abData.data(), strKey.c_str(), &pv, &cch) || cch == 0)
      return std::string();
    return static_cast<const char*>(pv);
  }

  const VS_FIXEDFILEINFO* Fixed() const {
    void* pv = nullptr;
    UINT cb = 0;
    if (!VerQueryValueA(m_abData.data(), "\\", &pv, &cb) || cb < sizeof(VS_FIXEDFILEINFO))
      return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(pv);
  }

private:
  std::vector<BYTE> m_abData;
};

const char* const kShippedBinaries[] = {
  "Tessel.exe", "Joust.exe", "Q7.exe", "Uninst.exe", "Vantler.ocx", "VantlerRt.dll",
};

// The strings the setup program reads from a version resource; all must be present.
const char* const kVersionStrings[] = {
  "CompanyName", "FileDescription", "FileVersion", "InternalName",
  "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion",
};

TEST(SampleVersionTest, EveryShippedBinaryCarriesAllEightStrings) {
  for (const char* pszName : kShippedBinaries) {
    SCOPED_TRACE(pszName);
    CVersionInfo info(StagePath((std::string("bin/") + pszName).c_str()));
    ASSERT_TRUE(info.IsLoaded()) << GetLastError();
    EXPECT_EQ("040904b0", info.Translation());
    for (const char* pszString : kVersionStrings)
      EXPECT_FALSE(info.String(pszString).empty()) << pszString;
    EXPECT_EQ(pszName, info.String("OriginalFilename"));
    // The destination check trusts Uninst.exe by this name alone, compared case-sensitively.
    if (std::string(pszName) == "Uninst.exe") {
      EXPECT_EQ("UNINSTALL", info.String("InternalName"));
    }

    const VS_FIXEDFILEINFO* pFixed = info.Fixed();
    ASSERT_NE(nullptr, pFixed);
    EXPECT_EQ(0xFEEF04BDu, pFixed->dwSignature);
    char szVersion[32];
    snprintf(szVersion, sizeof(szVersion), "%u.%u.%u.%u",
             HIWORD(pFixed->dwFileVersionMS), LOWORD(pFixed->dwFileVersionMS),
             HIWORD(pFixed->dwFileVersionLS), LOWORD(pFixed->dwFileVersionLS));
    EXPECT_EQ(szVersion, info.String("FileVersion"));
  }
}

TEST(SampleVersionTest, SharedRuntimeHasAVersionThatMatchesItsExport) {
  std::string strPath = StagePath("bin/VantlerRt.dll");
  CVersionInfo info(strPath);
  ASSERT_TRUE(info.IsLoaded()) << GetLastError();
  const VS_FIXEDFILEINFO* pFixed = info.Fixed();
  ASSERT_NE(nullptr, pFixed);
  // A zero version would let any other copy of the file win the version comparison.
  EXPECT_NE(0u, pFixed->dwFileVersionMS);
  EXPECT_EQ(static_cast<DWORD>(VFT_DLL), pFixed->dwFileType);

  HMODULE hModule = LoadLibraryA(strPath.c_str());
  ASSERT_NE(nullptr, hModule) << GetLastError();
  typedef DWORD(WINAPI * PfnGetVersion)();
  PfnGetVersion pfnGetVersion =
      reinterpret_cast<PfnGetVersion>(reinterpret_cast<void (*)()>(GetProcAddress(hModule, "VantlerRtGetVersion")));
  ASSERT_NE(nullptr, pfnGetVersion);
  EXPECT_EQ(pFixed->dwFileVersionMS, pfnGetVersion());
  FreeLibrary(hModule);
}

}  // namespace
