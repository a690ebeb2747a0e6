#include "faulttrace/CGlobalSet.h"

namespace FTR {

CGlobalSet& CGlobalSet::instance()
{
    static CGlobalSet settings;
    return settings;
}

void CGlobalSet::setDefaults()
{
    serverAddress.clear();
    serverPath.clear();
    serverPort = -1;
    createDump = true;
    systemSection = true;
    cpuSection = true;
    stackSection = true;
    moduleSection = true;
    checkedFile.clear();
    ftpUser.clear();
    ftpPassword.clear();
    addressService.clear();
}

// Every key that the file lacks keeps its own default rather than whatever the
// key read before it left behind.
bool CGlobalSet::load(const std::wstring& path)
{
    if (!CConfigHandle::load(path))
        return false;
    readLoadedSettings();
    return true;
}

void CGlobalSet::readLoadedSettings()
{
    setDefaults();

    constexpr size_t field = 256;
    getString(L"ServInfo", L"ServAddr", serverAddress, field);
    long port = 0;
    if (getLong(L"ServInfo", L"ServPort", port))
        serverPort = static_cast<int>(port);
    getString(L"ServInfo", L"ServPath", serverPath, field);
    getString(L"ServInfo", L"FtpUser", ftpUser, field);
    getString(L"ServInfo", L"FtpPass", ftpPassword, field);
    getString(L"ServInfo", L"IpServ", addressService, field);

    getBool(L"DumpInfo", L"CreateDmp", createDump);
    getBool(L"DumpInfo", L"DumpSys", systemSection);
    getBool(L"DumpInfo", L"DumpCpu", cpuSection);
    getBool(L"DumpInfo", L"DumpSta", stackSection);
    getBool(L"DumpInfo", L"DumpMod", moduleSection);

    getString(L"SysInfo", L"CheckFile", checkedFile, field);
}

} // namespace FTR
