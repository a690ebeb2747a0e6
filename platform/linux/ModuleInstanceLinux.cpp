#include "platform/ModuleInstance.h"

namespace platform {

ModuleInstance currentModuleInstance()
{
    // Nothing on Linux registers per module; the dispatcher needs no handle.
    return nullptr;
}

} // namespace platform
