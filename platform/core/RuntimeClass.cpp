#include "RuntimeClass.h"

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<std::string, const CRuntimeClass*> byName;
};

// Built on first use, so registrations from any static initialiser find it.
Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
        if (c == base)
            return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className)
{
    if (!className)
        return nullptr;
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    auto it = registry.byName.find(className);
    return it == registry.byName.end() ? nullptr : it->second;
}

void CRuntimeClass::Register(const CRuntimeClass* runtimeClass)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    registry.byName[runtimeClass->m_lpszClassName] = runtimeClass;
}
