#include "faulttrace/windows/ReportPackage.h"

#include "faulttrace/windows/CArchiveWriter.h"
#include "faulttrace/windows/CNet_Ftp_Handle.h"
#include "faulttrace/windows/CrashState.h"
#include "faulttrace/windows/WideText.h"

#include <windows.h>
#include <shlwapi.h>

namespace FTR {

ReportPackage::ReportPackage(const CrashState& crashState, const wchar_t* address, const wchar_t* stamp)
    : state(crashState)
{
    wideFormat(name, MaxNameChars + 1, L"%ls_FaultTrace[%ls-%ls].zip", state.clientVersion, address, stamp);
    // The version and the address come from outside: neither may lead the
    // archive out of the dump folder or make a name Windows refuses.
    for (wchar_t* p = name; *p; ++p) {
        if (*p < 0x20 || *p == L'\\' || *p == L'/' || *p == L':' || *p == L'*' || *p == L'?' || *p == L'"'
            || *p == L'<' || *p == L'>' || *p == L'|')
            *p = L'_';
    }
}

void ReportPackage::packAndUpload()
{
    if (!PathFileExistsW(state.dumpDir))
        CreateDirectoryW(state.dumpDir, nullptr);
    wchar_t archivePath[CrashState::PathChars + MaxNameChars + 1];
    wideCopy(archivePath, sizeof archivePath / sizeof archivePath[0], state.dumpDir);
    wideAppend(archivePath, sizeof archivePath / sizeof archivePath[0], name);

    const wchar_t* const files[] = {L"FaultTrace.txt", L"FaultTrace.DMP"};
    if (!CArchiveWriter::createArchive(archivePath, files, 2))
        return;

    FtpTarget target;
    target.host = state.serverAddress;
    target.port = state.serverPort;
    target.user = state.ftpUser;
    target.password = state.ftpPassword;
    target.directory = state.serverPath;
    target.timeoutMs = static_cast<unsigned>(state.ftpTimeoutMs);
    if (CNet_Ftp_Handle::upload(target, archivePath, name))
        DeleteFileW(archivePath);
}

} // namespace FTR
