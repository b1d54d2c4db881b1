#include "framework/object.h"

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* cls = this; cls; cls = cls->m_pfnGetBaseClass ? cls->m_pfnGetBaseClass() : nullptr) {
        if (cls == base)
            return TRUE;
    }
    return FALSE;
}

const CRuntimeClass* CObject::GetThisClass()
{
    static const CRuntimeClass cls = {"CObject", (int)sizeof(CObject), nullptr, nullptr};
    return &cls;
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return GetThisClass(); }
