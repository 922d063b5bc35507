#include "tests/support/key_lock.h"

namespace {

// Gives everybody only *access (and WRITE_DAC) to the key; none: a NULL DACL,
// which lets everybody do everything.
LONG SetEveryoneAccess(HKEY root, const std::string& key, const DWORD* access)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (access && !AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return static_cast<LONG>(GetLastError());
    BYTE aclBuffer[256];
    PACL acl = reinterpret_cast<PACL>(aclBuffer);
    if (access) {
        InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
        AddAccessAllowedAce(acl, ACL_REVISION, *access | WRITE_DAC, everyone);
        FreeSid(everyone);  // the entry holds a copy
    }
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, access ? acl : nullptr, FALSE);
    HKEY handle;
    LONG result = RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, &handle);
    if (result == ERROR_SUCCESS) {
        result = RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &sd);
        RegCloseKey(handle);
    }
    return result;
}

}  // namespace

KeyLock::KeyLock(HKEY root, const std::string& key, DWORD access)
    : m_root(root), m_key(key), m_result(SetEveryoneAccess(root, key, &access))
{
}

KeyLock::~KeyLock()
{
    if (m_result == ERROR_SUCCESS)
        SetEveryoneAccess(m_root, m_key, nullptr);
}
