#include "platform/registry.h"

#include <cstring>

#include "framework/format_text.h"
#include "platform/reg_key.h"

namespace {

const std::string::size_type kMaxKeyPath = 259;
const std::string::size_type kMaxValueName = 255;
const std::string::size_type kMaxStringData = 259;
const DWORD kStringReadBytes = 516;
const DWORD kSubKeyNameSize = 255;

struct RootRedirect {
    HKEY predefined;
    HKEY target;
};
RootRedirect g_redirects[] = {{HKEY_LOCAL_MACHINE, nullptr}, {HKEY_CLASSES_ROOT, nullptr}};

HKEY Resolve(HKEY root)
{
    for (const RootRedirect& r : g_redirects) {
        if (r.predefined == root && r.target)
            return r.target;
    }
    return root;
}

// Leaves a failure in the thread's last-error value for callers further up.
LONG Result(LONG code)
{
    if (code != ERROR_SUCCESS)
        SetLastError(static_cast<DWORD>(code));
    return code;
}

LONG CheckNames(const std::string& key, const std::string& name)
{
    if (key.size() > kMaxKeyPath || name.size() > kMaxValueName)
        return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}

// Checks the names and gives the value's in UTF-16. Whole values go through
// the wide interface, which passes their bytes as the registry keeps them:
// the ANSI one converts strings through the code page, and one outside it
// would not come back as it was.
LONG WideName(const std::string& key, const std::string& name, WCHAR (&szWide)[kMaxValueName + 1])
{
    if (LONG code = CheckNames(key, name))
        return code;
    return MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, szWide, kMaxValueName + 1) > 0
               ? ERROR_SUCCESS
               : static_cast<LONG>(GetLastError());
}

LONG CreateKey(HKEY root, const std::string& key, CRegKeyHandle& handle)
{
    DWORD disposition = 0;
    char emptyClass[] = "";
    return RegCreateKeyExA(Resolve(root), key.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, handle.Receive(), &disposition);
}

LONG OpenKey(HKEY root, const std::string& key, REGSAM access, CRegKeyHandle& handle)
{
    return RegOpenKeyExA(Resolve(root), key.c_str(), 0, access, handle.Receive());
}

// The setters open for writing and create the key only when it is missing;
// any other open failure (access denied) is the answer.
LONG OpenForWrite(HKEY root, const std::string& key, CRegKeyHandle& handle)
{
    LONG code = OpenKey(root, key, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, handle);
    if (code == ERROR_FILE_NOT_FOUND)
        code = CreateKey(root, key, handle);
    return code;
}

LONG SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const BYTE* data,
              DWORD size)
{
    CRegKeyHandle handle;
    LONG code = OpenForWrite(root, key, handle);
    if (code == ERROR_SUCCESS)
        code = RegSetValueExA(handle.Get(), name.c_str(), 0, type, data, size);
    return Result(code);
}

}  // namespace

void RedirectRegistryRoot(HKEY predefined, HKEY target)
{
    for (RootRedirect& r : g_redirects) {
        if (r.predefined == predefined)
            r.target = target;
    }
}

LONG CreateRegKey(HKEY root, const std::string& key)
{
    if (LONG code = CheckNames(key, std::string()))
        return Result(code);
    CRegKeyHandle handle;
    return Result(CreateKey(root, key, handle));
}

LONG RegKeyExists(HKEY root, const std::string& key)
{
    if (LONG code = CheckNames(key, std::string()))
        return Result(code);
    CRegKeyHandle handle;
    return Result(OpenKey(root, key, KEY_READ, handle));
}

LONG DeleteRegKeyTree(HKEY parent, const std::string& key)
{
    // An empty path would name the parent itself: all of HKLM, for instance.
    if (key.empty())
        return Result(ERROR_INVALID_PARAMETER);
    if (LONG code = CheckNames(key, std::string()))
        return Result(code);
    parent = Resolve(parent);
    LONG code;
    {
        CRegKeyHandle handle;
        code = RegOpenKeyA(parent, key.c_str(), handle.Receive());
        if (code != ERROR_SUCCESS)
            return Result(code);
        // Always the first remaining sub-key: the one before it is gone.
        for (;;) {
            char subKey[kSubKeyNameSize + 1];
            code = RegEnumKeyA(handle.Get(), 0, subKey, kSubKeyNameSize);
            if (code != ERROR_SUCCESS)
                break;
            code = DeleteRegKeyTree(handle.Get(), subKey);
            if (code != ERROR_SUCCESS)
                break;
        }
        if (code == ERROR_NO_MORE_ITEMS || code == ERROR_BADKEY)
            code = RegDeleteKeyA(parent, key.c_str());
    }
    return Result(code);
}

LONG SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& text)
{
    if (LONG code = CheckNames(key, name))
        return Result(code);
    if (text.size() > kMaxStringData)
        return Result(ERROR_INVALID_PARAMETER);
    return SetValue(root, key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                    static_cast<DWORD>(text.size() + 1));
}

LONG SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value)
{
    if (LONG code = CheckNames(key, name))
        return Result(code);
    return SetValue(root, key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG GetRegString(HKEY root, const std::string& key, const std::string& name, std::string& out)
{
    if (LONG code = CheckNames(key, name))
        return Result(code);
    CRegKeyHandle handle;
    LONG code = OpenKey(root, key, KEY_QUERY_VALUE, handle);
    if (code != ERROR_SUCCESS)
        return Result(code);
    char data[kStringReadBytes];
    DWORD size = kStringReadBytes;
    code = RegQueryValueExA(handle.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    if (code != ERROR_SUCCESS)
        return Result(code);
    // The type is not checked, so the bytes need not end in a terminator.
    out.assign(data, strnlen(data, size));
    return ERROR_SUCCESS;
}

LONG GetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD& out)
{
    if (LONG code = CheckNames(key, name))
        return Result(code);
    CRegKeyHandle handle;
    LONG code = OpenKey(root, key, KEY_QUERY_VALUE, handle);
    if (code != ERROR_SUCCESS)
        return Result(code);
    DWORD value = 0;
    DWORD size = sizeof value;
    code = RegQueryValueExA(handle.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    if (code != ERROR_SUCCESS)
        return Result(code);
    out = value;
    return ERROR_SUCCESS;
}

LONG DeleteRegValue(HKEY root, const std::string& key, const std::string& name)
{
    if (LONG code = CheckNames(key, name))
        return Result(code);
    CRegKeyHandle handle;
    LONG code = OpenKey(root, key, KEY_SET_VALUE, handle);
    if (code == ERROR_SUCCESS)
        code = RegDeleteValueA(handle.Get(), name.c_str());
    return Result(code);
}

LONG GetRegValue(HKEY root, const std::string& key, const std::string& name, RegValue& out)
{
    WCHAR szName[kMaxValueName + 1];
    if (LONG code = WideName(key, name, szName))
        return Result(code);
    CRegKeyHandle handle;
    LONG code = OpenKey(root, key, KEY_QUERY_VALUE, handle);
    if (code != ERROR_SUCCESS)
        return Result(code);
    RegValue value;
    DWORD size = 0;
    code = RegQueryValueExW(handle.Get(), szName, nullptr, &value.dwType, nullptr, &size);
    if (code == ERROR_SUCCESS) {
        value.data.resize(size);
        code = RegQueryValueExW(handle.Get(), szName, nullptr, &value.dwType, reinterpret_cast<BYTE*>(&value.data[0]),
                                &size);
    }
    if (code != ERROR_SUCCESS)
        return Result(code);
    // The read may say less than the size asked first.
    value.data.resize(size);
    out = value;
    return ERROR_SUCCESS;
}

LONG SetRegValue(HKEY root, const std::string& key, const std::string& name, const RegValue& value)
{
    WCHAR szName[kMaxValueName + 1];
    if (LONG code = WideName(key, name, szName))
        return Result(code);
    CRegKeyHandle handle;
    LONG code = OpenForWrite(root, key, handle);
    if (code == ERROR_SUCCESS)
        code = RegSetValueExW(handle.Get(), szName, 0, value.dwType, reinterpret_cast<const BYTE*>(value.data.data()),
                              static_cast<DWORD>(value.data.size()));
    return Result(code);
}

LONG ListRegKey(HKEY root, const std::string& key, std::vector<std::string>& subkeys,
                std::vector<std::string>& values)
{
    CRegKeyHandle handle;
    LONG code = OpenKey(root, key, KEY_READ, handle);
    if (code != ERROR_SUCCESS)
        return Result(code);
    char szName[kMaxValueName + 1];
    DWORD dwLength;
    for (DWORD i = 0;
         dwLength = sizeof szName,
               (code = RegEnumKeyExA(handle.Get(), i, szName, &dwLength, nullptr, nullptr, nullptr, nullptr)) ==
                   ERROR_SUCCESS;
         ++i)
        subkeys.push_back(std::string(szName, dwLength));
    if (code != ERROR_NO_MORE_ITEMS)
        return Result(code);
    for (DWORD i = 0;
         dwLength = sizeof szName,
               (code = RegEnumValueA(handle.Get(), i, szName, &dwLength, nullptr, nullptr, nullptr, nullptr)) ==
                   ERROR_SUCCESS;
         ++i)
        values.push_back(std::string(szName, dwLength));
    return code == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : Result(code);
}

std::string DescribeRegValue(const RegValue& value)
{
    const int nChars = static_cast<int>(value.data.size() / sizeof(WCHAR));
    if ((value.dwType == REG_SZ || value.dwType == REG_EXPAND_SZ) && nChars > 0) {
        const WCHAR* pszText = reinterpret_cast<const WCHAR*>(value.data.data());
        // Without the terminator the registry keeps with it.
        const int nLength = pszText[nChars - 1] == L'\0' ? nChars - 1 : nChars;
        std::string strText(static_cast<size_t>(nLength) * 2, '\0');
        strText.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, pszText, nLength, &strText[0],
                                                                static_cast<int>(strText.size()), nullptr, nullptr)));
        return "\"" + strText + "\"";
    }
    if (value.dwType == REG_DWORD && value.data.size() == sizeof(DWORD)) {
        DWORD dwValue = 0;
        std::memcpy(&dwValue, value.data.data(), sizeof dwValue);
        return FormatText("%lu", static_cast<unsigned long>(dwValue));
    }
    return FormatText("type %lu, %u bytes", static_cast<unsigned long>(value.dwType),
                      static_cast<unsigned>(value.data.size()));
}
