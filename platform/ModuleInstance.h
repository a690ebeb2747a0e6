#pragma once

namespace platform {

// The handle of the running executable module, for services that register
// themselves with the system under it. Opaque to the logic; null where the
// system has no such notion.
using ModuleInstance = void*;

ModuleInstance currentModuleInstance();

} // namespace platform
