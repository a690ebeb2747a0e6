#pragma once
// Packs the report and the dump into "<version>_FaultTrace[<address>-<time>].zip"
// in the dump folder beside the executable and uploads it by FTP; a
// successful upload removes the local archive.

namespace FTR {

struct CrashState;

class ReportPackage
{
public:
    static constexpr unsigned MaxNameChars = 255;

    // `address` is the public address known when the handling began, `stamp`
    // its local time as "YYYYmmddHHMMSS".
    ReportPackage(const CrashState& state, const wchar_t* address, const wchar_t* stamp);

    // Creates the folder when missing, the archive, then tries the upload.
    void packAndUpload();

    const wchar_t* archiveName() const { return name; }

private:
    const CrashState& state;
    wchar_t name[MaxNameChars + 1] = {};
};

} // namespace FTR
