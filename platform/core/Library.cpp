#include "Library.h"

#include <dlfcn.h>
#include <mutex>

namespace {
std::mutex g_errorMutex;
CString g_lastError;

void RememberError()
{
    const char* text = dlerror();
    std::lock_guard<std::mutex> guard(g_errorMutex);
    g_lastError = text ? text : "";
}
}  // namespace

HMODULE LoadLibrary(const char* fileName)
{
    void* handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        RememberError();
    return handle;
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    if (!module)
        return nullptr;
    dlerror();
    void* symbol = dlsym(module, name);
    if (!symbol) {
        RememberError();
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) { return (module && dlclose(module) == 0) ? TRUE : FALSE; }

CString GetLibraryError()
{
    std::lock_guard<std::mutex> guard(g_errorMutex);
    return g_lastError;
}
