// CRuntimeClass: what the archive needs to know of a class to write its objects
// and make them again on load: its name, schema and a factory. Serialisable
// classes register themselves by name when the program loads.
#pragma once

#include "WinTypes.h"

class CObject;

// Set in a schema: the class reads older schemas itself (GetObjectSchema).
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF for a class that is not serialisable
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    bool IsSerializable() const { return m_pfnCreateObject != nullptr && (m_wSchema & 0xFFFF) != 0xFFFF; }

    // A registered serialisable class by its exact name, or null.
    static const CRuntimeClass* FromName(const char* className);
    static void Register(const CRuntimeClass* runtimeClass);
};

// Registers a class while static objects are constructed.
struct CRuntimeClassRegistrar {
    explicit CRuntimeClassRegistrar(const CRuntimeClass* runtimeClass) { CRuntimeClass::Register(runtimeClass); }
};

#define RUNTIME_CLASS(class_name) (&class_name::kRuntimeClass)

#define DECLARE_DYNAMIC(class_name)                                 \
public:                                                             \
    static const CRuntimeClass kRuntimeClass;                       \
    const CRuntimeClass* GetRuntimeClass() const override { return &kRuntimeClass; }

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name)    \
    DECLARE_DYNCREATE(class_name)     \
    friend CArchive& operator>>(CArchive& ar, class_name*& object);

#define KV_IMPLEMENT_RUNTIMECLASS(class_name, base_name, schema, creator) \
    const CRuntimeClass class_name::kRuntimeClass = {                      \
        #class_name, static_cast<int>(sizeof(class_name)), schema, creator, RUNTIME_CLASS(base_name)};

#define IMPLEMENT_DYNAMIC(class_name, base_name) \
    KV_IMPLEMENT_RUNTIMECLASS(class_name, base_name, 0xFFFF, nullptr)

// A class that can be made by name is found by name: windows are created from their class names.
#define IMPLEMENT_DYNCREATE(class_name, base_name)                                           \
    CObject* class_name::CreateObject() { return new class_name; }                           \
    KV_IMPLEMENT_RUNTIMECLASS(class_name, base_name, 0xFFFF, class_name::CreateObject)      \
    static const CRuntimeClassRegistrar kRegistrar##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_SERIAL(class_name, base_name, schema)                                       \
    CObject* class_name::CreateObject() { return new class_name; }                            \
    KV_IMPLEMENT_RUNTIMECLASS(class_name, base_name, schema, class_name::CreateObject)       \
    static const CRuntimeClassRegistrar kRegistrar##class_name(RUNTIME_CLASS(class_name));    \
    [[maybe_unused]] CArchive& operator>>(CArchive& ar, class_name*& object)                  \
    {                                                                                          \
        object = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));          \
        return ar;                                                                             \
    }
