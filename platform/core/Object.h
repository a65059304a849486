// CObject: the root of classes that know their runtime class and can be
// written to and read from an archive as objects.
#pragma once

#include "RuntimeClass.h"

class CArchive;

class CObject {
public:
    static const CRuntimeClass kRuntimeClass;

    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &kRuntimeClass; }
    virtual void Serialize(CArchive& /*ar*/) {}

    bool IsKindOf(const CRuntimeClass* runtimeClass) const { return GetRuntimeClass()->IsDerivedFrom(runtimeClass); }
    bool IsSerializable() const { return GetRuntimeClass()->IsSerializable(); }
};
