#include "framework/object.h"

const CRuntimeClass* CObject::GetThisClass()
{
    static const CRuntimeClass cls = {"CObject", nullptr};
    return &cls;
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return GetThisClass(); }
