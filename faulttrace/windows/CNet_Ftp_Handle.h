#pragma once
// Uploads a crash archive by FTP with WinINet.

namespace FTR {

struct FtpTarget
{
    const wchar_t* host = L"";
    int port = -1; // outside 1..65535: the FTP default
    const wchar_t* user = L"";
    const wchar_t* password = L"";
    // Relative to the login folder; empty is the login folder itself.
    const wchar_t* directory = L"";
    unsigned timeoutMs = 5000;
};

class CNet_Ftp_Handle
{
public:
    // True only when the file reached the server under `remoteName` in the
    // target directory, which must already exist.
    static bool upload(const FtpTarget& target, const wchar_t* localFile, const wchar_t* remoteName);
};

} // namespace FTR
