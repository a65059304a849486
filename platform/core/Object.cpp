#include "Object.h"

const CRuntimeClass CObject::kRuntimeClass = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr};
