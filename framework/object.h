// CObject and run-time class information: the class name and dynamic creation by class.
#pragma once

#include <windows.h>

#include <type_traits>

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    CObject* (*m_pfnCreateObject)();  // null when the class is not dynamically creatable

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;

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

// The base is named for the reader and checked; the run-time information records no hierarchy.
#define KELVO_IMPLEMENT_RUNTIMECLASS(class_name, base_name, creator)                          \
    static_assert(std::is_base_of<base_name, class_name>::value, #base_name " is no base"); \
    const CRuntimeClass* class_name::GetThisClass() {                                         \
        static const CRuntimeClass cls = {#class_name, creator};                              \
        return &cls;                                                                          \
    }                                                                                         \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_name) KELVO_IMPLEMENT_RUNTIMECLASS(class_name, base_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_name)                               \
    CObject* class_name::CreateObject() { return new class_name; }               \
    KELVO_IMPLEMENT_RUNTIMECLASS(class_name, base_name, &class_name::CreateObject)
