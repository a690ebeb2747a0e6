#include "platform/SystemVersion.h"

#include <QSysInfo>

namespace platform {

SystemVersion currentSystemVersion()
{
    SystemVersion version;
    version.productType = QSysInfo::productType();
    version.productVersion = QSysInfo::productVersion();
    // Qt says "unknown" when os-release names nothing.
    if (version.productType == QLatin1String("unknown"))
        version.productType.clear();
    if (version.productVersion == QLatin1String("unknown"))
        version.productVersion.clear();
    version.kernelType = QSysInfo::kernelType();
    version.kernelVersion = QSysInfo::kernelVersion();
    // The machine's architecture (uname), not the one this program was built for.
    const QString arch = QSysInfo::currentCpuArchitecture();
    version.native64 = arch.contains(QLatin1String("64")) || arch == QLatin1String("s390x");
    return version;
}

} // namespace platform
