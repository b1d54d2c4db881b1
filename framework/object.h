// CObject and run-time class information: IsKindOf and dynamic creation by class.
#pragma once

#include <windows.h>

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();  // null when the class is not dynamically creatable
    const CRuntimeClass* (*m_pfnGetBaseClass)();

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    static const CRuntimeClass* GetThisClass();

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                       \
public:                                                   \
    static const CRuntimeClass* GetThisClass();           \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define KELVO_IMPLEMENT_RUNTIMECLASS(class_name, base_name, creator)                         \
    const CRuntimeClass* class_name::GetThisClass() {                                        \
        static const CRuntimeClass cls = {#class_name, (int)sizeof(class_name), creator,     \
                                          &base_name::GetThisClass};                         \
        return &cls;                                                                         \
    }                                                                                        \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_name) KELVO_IMPLEMENT_RUNTIMECLASS(class_name, base_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_name)                               \
    CObject* class_name::CreateObject() { return new class_name; }               \
    KELVO_IMPLEMENT_RUNTIMECLASS(class_name, base_name, &class_name::CreateObject)
