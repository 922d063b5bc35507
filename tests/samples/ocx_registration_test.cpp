// Vantler.ocx registers itself the way the setup program calls it: loaded between
// OleInitialize and OleUninitialize, its DllRegisterServer export called bare.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "samples/vantler/src/vantler_ocx.h"
#include "tests/samples/sample_paths.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* PfnServerEntry)();

const char kClsidKey[] = "CLSID\\" VANTLER_CLSID;

class COleSession {
public:
  COleSession() : m_hr(OleInitialize(nullptr)) {}
  ~COleSession() { if (SUCCEEDED(m_hr)) OleUninitialize(); }
  COleSession(const COleSession&) = delete;
  COleSession& operator=(const COleSession&) = delete;
  HRESULT Result() const { return m_hr; }

private:
  HRESULT m_hr;
};

class CModule {
public:
  explicit CModule(const std::string& strPath) : m_hModule(LoadLibraryA(strPath.c_str())) {}
  ~CModule() { if (m_hModule) FreeLibrary(m_hModule); }
  CModule(const CModule&) = delete;
  CModule& operator=(const CModule&) = delete;
  HMODULE Get() const { return m_hModule; }

  PfnServerEntry Entry(const char* pszName) const {
    // FARPROC is the generic export type; the entry points take no arguments.
    return reinterpret_cast<PfnServerEntry>(reinterpret_cast<void (*)()>(GetProcAddress(m_hModule, pszName)));
  }

private:
  HMODULE m_hModule;
};

bool KeyExists(const char* pszKey) {
  HKEY hKey;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
    return false;
  RegCloseKey(hKey);
  return true;
}

// A string value below HKEY_CLASSES_ROOT, or "<missing>".
std::string ClassString(const char* pszKey, const char* pszName) {
  char szValue[MAX_PATH] = "";
  DWORD cb = sizeof(szValue);
  if (RegGetValueA(HKEY_CLASSES_ROOT, pszKey, pszName, RRF_RT_REG_SZ, nullptr, szValue, &cb) !=
      ERROR_SUCCESS)
    return "<missing>";
  return szValue;
}

class OcxRegistrationTest : public ::testing::Test {
protected:
  void TearDown() override {
    // Leave the shared test prefix as it was, whatever the test did.
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kClsidKey);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, VANTLER_PROGID);
  }
};

TEST_F(OcxRegistrationTest, RegisterWritesClassKeysAndUnregisterRemovesThem) {
  COleSession ole;
  ASSERT_TRUE(SUCCEEDED(ole.Result()));
  CModule ocx(StagePath("bin/Vantler.ocx"));
  ASSERT_NE(nullptr, ocx.Get()) << GetLastError();
  PfnServerEntry pfnRegister = ocx.Entry("DllRegisterServer");
  PfnServerEntry pfnUnregister = ocx.Entry("DllUnregisterServer");
  ASSERT_NE(nullptr, pfnRegister);
  ASSERT_NE(nullptr, pfnUnregister);

  ASSERT_EQ(S_OK, pfnRegister());
  char szModule[MAX_PATH];
  ASSERT_NE(0u, GetModuleFileNameA(ocx.Get(), szModule, sizeof(szModule)));
  const std::string strServerKey = std::string(kClsidKey) + "\\InprocServer32";
  EXPECT_EQ(0, lstrcmpiA(szModule, ClassString(strServerKey.c_str(), nullptr).c_str()))
      << ClassString(strServerKey.c_str(), nullptr);
  EXPECT_EQ("Apartment", ClassString(strServerKey.c_str(), "ThreadingModel"));
  EXPECT_EQ(VANTLER_CLASS_NAME, ClassString(kClsidKey, nullptr));
  EXPECT_EQ(VANTLER_PROGID, ClassString((std::string(kClsidKey) + "\\ProgID").c_str(), nullptr));
  EXPECT_TRUE(KeyExists((std::string(kClsidKey) + "\\Control").c_str()));

  // COM itself must find the class by its ProgID.
  CLSID clsid;
  ASSERT_EQ(S_OK, CLSIDFromProgID(L"" VANTLER_PROGID, &clsid));
  wchar_t wszClsid[64];
  ASSERT_GT(StringFromGUID2(clsid, wszClsid, 64), 0);
  EXPECT_EQ(0, lstrcmpiW(L"" VANTLER_CLSID, wszClsid));

  // A second registration, as on a reinstall, succeeds as well.
  EXPECT_EQ(S_OK, pfnRegister());

  ASSERT_EQ(S_OK, pfnUnregister());
  EXPECT_FALSE(KeyExists(kClsidKey));
  EXPECT_FALSE(KeyExists(VANTLER_PROGID));
  // Nothing left to remove is not a failure.
  EXPECT_EQ(S_OK, pfnUnregister());
}

}  // namespace
