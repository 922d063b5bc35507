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
    static void Register(const CRuntimeClass* cls);
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
    static const struct cls##Registration {                                              \
        cls##Registration() { CRuntimeClass::Register(&cls::class##cls); }               \
    } s_##cls##Registration;
