#pragma once
// Uploads a crash archive by FTP. Runs in the helper process.

#include <string>

namespace FTR {

struct FtpTarget
{
    std::string host;
    int port = -1; // outside 1..65535: the FTP default
    std::string user;
    std::string password;
    std::string directory;
    long connectTimeoutSeconds = 5;
    long responseTimeoutSeconds = 5;
    long totalTimeoutSeconds = 15;
};

class CNet_Ftp_Handle
{
public:
    // True only when the file reached the server under `remoteName` in the
    // target directory, which must already exist.
    static bool upload(const FtpTarget& target, const std::string& localFile, const std::string& remoteName);

    // The URL the upload goes to, with each path part escaped.
    static std::string url(const FtpTarget& target, const std::string& remoteName);
};

} // namespace FTR
