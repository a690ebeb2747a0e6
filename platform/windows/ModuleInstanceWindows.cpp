// The executable's module handle, for window classes registered under it.

#include "platform/ModuleInstance.h"

#include <windows.h>

namespace platform {

ModuleInstance currentModuleInstance()
{
    return GetModuleHandleW(nullptr);
}

} // namespace platform
