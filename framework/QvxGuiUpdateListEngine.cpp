#include "QvxGuiUpdateListEngine.h"

namespace {
CQvxGuiUpdateListEngine::Factory& InstalledFactory()
{
    static CQvxGuiUpdateListEngine::Factory factory;
    return factory;
}
}  // namespace

void CQvxGuiUpdateListEngine::SetFactory(Factory factory)
{
    InstalledFactory() = std::move(factory);
}

std::unique_ptr<CQvxGuiUpdateListEngine> CQvxGuiUpdateListEngine::Create()
{
    return InstalledFactory() ? InstalledFactory()() : nullptr;
}
