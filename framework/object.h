// Persistent objects: a common base and creation by class name.
// The class name and schema number identify a class inside the program only;
// neither is ever written to a file.
#pragma once

#include "wintypes.h"

class CArchive;
class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();  // none for classes that cannot be created by name
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;

    // The registered class of this name, or none.
    static const CRuntimeClass* FromName(const char* className);
};

// One entry of the list of classes that can be created by name; each
// IMPLEMENT_SERIAL defines one, which links itself in while the program's
// static objects are constructed. The list's head is a plain pointer, set
// before any constructor runs, so the order of those constructors does not
// matter.
class CClassRegistration {
public:
    explicit CClassRegistration(const CRuntimeClass* cls);
    CClassRegistration(const CClassRegistration&) = delete;
    CClassRegistration& operator=(const CClassRegistration&) = delete;

    static const CClassRegistration* First();
    const CRuntimeClass* Class() const { return m_pClass; }
    const CClassRegistration* Next() const { return m_pNext; }

private:
    const CRuntimeClass* m_pClass;
    const CClassRegistration* m_pNext;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);
    bool IsKindOf(const CRuntimeClass* cls) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

// In the class body: runtime class information and creation by name.
#define DECLARE_SERIAL(cls)                                       \
public:                                                           \
    static const CRuntimeClass class##cls;                        \
    const CRuntimeClass* GetRuntimeClass() const override;        \
    static CObject* CreateObject();

// In one source file: defines and registers the class.
#define IMPLEMENT_SERIAL(cls, base, schema)                                              \
    CObject* cls::CreateObject() { return new cls; }                                     \
    const CRuntimeClass cls::class##cls = {#cls, schema, &cls::CreateObject,             \
                                           RUNTIME_CLASS(base)};                         \
    const CRuntimeClass* cls::GetRuntimeClass() const { return &cls::class##cls; }       \
    static const CClassRegistration s_##cls##Registration(&cls::class##cls);
