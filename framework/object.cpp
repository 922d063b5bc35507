#include "object.h"

#include <cstring>

namespace {
const CClassRegistration* g_pFirstRegistration = nullptr;
}  // namespace

CClassRegistration::CClassRegistration(const CRuntimeClass* cls) : m_pClass(cls), m_pNext(g_pFirstRegistration)
{
    g_pFirstRegistration = this;
}

const CClassRegistration* CClassRegistration::First()
{
    return g_pFirstRegistration;
}

const CRuntimeClass CObject::classCObject = {"CObject", 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* cls) const
{
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass)
        if (cls == base)
            return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className)
{
    for (const CClassRegistration* entry = CClassRegistration::First(); entry; entry = entry->Next())
        if (std::strcmp(entry->Class()->m_lpszClassName, className) == 0)
            return entry->Class();
    return nullptr;
}
