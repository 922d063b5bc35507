// Vantler.ocx: the product's ActiveX control. Its self-registration writes the
// class and ProgID keys under HKEY_CLASSES_ROOT; the control's class factory is
// not part of this edition, so activation reports the class as unavailable.
#include <windows.h>
#include <olectl.h>

#include "vantler_ocx.h"

namespace {

HINSTANCE g_hModule;

const char kClsidKey[] = "CLSID\\" VANTLER_CLSID;

// Owns an open registry key.
class CRegKey {
public:
  CRegKey() : m_hKey(nullptr) {}
  ~CRegKey() { if (m_hKey) RegCloseKey(m_hKey); }
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;

  LONG Create(HKEY hParent, const char* pszSubKey) {
    return RegCreateKeyExA(hParent, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                           nullptr, &m_hKey, nullptr);
  }
  LONG SetString(const char* pszName, const char* pszValue) {
    return RegSetValueExA(m_hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszValue),
                          static_cast<DWORD>(lstrlenA(pszValue) + 1));
  }

private:
  HKEY m_hKey;
};

// One value to write below HKEY_CLASSES_ROOT; a null value name is the key's default.
struct ClassEntry {
  const char* pszKey;
  const char* pszName;
  const char* pszValue;
};

bool WriteEntry(const ClassEntry& entry) {
  CRegKey key;
  return key.Create(HKEY_CLASSES_ROOT, entry.pszKey) == ERROR_SUCCESS &&
         (!entry.pszValue || key.SetString(entry.pszName, entry.pszValue) == ERROR_SUCCESS);
}

bool DeleteTree(const char* pszKey) {
  LONG lResult = RegDeleteTreeA(HKEY_CLASSES_ROOT, pszKey);
  return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) {
    g_hModule = hInstance;
    DisableThreadLibraryCalls(hInstance);
  }
  return TRUE;
}

STDAPI DllUnregisterServer() {
  bool bClass = DeleteTree(kClsidKey);
  bool bProgId = DeleteTree(VANTLER_PROGID);
  return bClass && bProgId ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllRegisterServer() {
  char szModule[MAX_PATH];
  DWORD cch = GetModuleFileNameA(g_hModule, szModule, sizeof(szModule));
  if (cch == 0 || cch >= sizeof(szModule))
    return SELFREG_E_CLASS;

  const ClassEntry entries[] = {
    { kClsidKey, nullptr, VANTLER_CLASS_NAME },
    { "CLSID\\" VANTLER_CLSID "\\InprocServer32", nullptr, szModule },
    { "CLSID\\" VANTLER_CLSID "\\InprocServer32", "ThreadingModel", "Apartment" },
    { "CLSID\\" VANTLER_CLSID "\\ProgID", nullptr, VANTLER_PROGID },
    { "CLSID\\" VANTLER_CLSID "\\Control", nullptr, nullptr },
    { VANTLER_PROGID, nullptr, VANTLER_CLASS_NAME },
    { VANTLER_PROGID "\\CLSID", nullptr, VANTLER_CLSID },
  };
  for (const ClassEntry& entry : entries) {
    if (!WriteEntry(entry)) {
      // A half-registered class would point clients at keys that do not add up.
      DllUnregisterServer();
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* ppv) {
  if (ppv)
    *ppv = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return S_OK;
}
