#include "faulttrace/helper/CNet_Ftp_Handle.h"

#include <cstdio>
#include <curl/curl.h>
#include <memory>

namespace FTR {

namespace {

struct CurlDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct FileCloser
{
    void operator()(FILE* f) const { std::fclose(f); }
};

std::string escape(CURL* curl, const std::string& part)
{
    char* escaped = curl_easy_escape(curl, part.c_str(), static_cast<int>(part.size()));
    std::string out = escaped ? escaped : "";
    curl_free(escaped);
    return out;
}

} // namespace

std::string CNet_Ftp_Handle::url(const FtpTarget& target, const std::string& remoteName)
{
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return std::string();
    const int port = target.port > 0 && target.port < 65536 ? target.port : 21;
    std::string u = "ftp://" + target.host + ":" + std::to_string(port) + "/";
    // The directory is taken relative to the login folder, part by part.
    size_t start = 0;
    while (start <= target.directory.size()) {
        size_t slash = target.directory.find_first_of("/\\", start);
        if (slash == std::string::npos)
            slash = target.directory.size();
        const std::string part = target.directory.substr(start, slash - start);
        if (!part.empty())
            u += escape(curl.get(), part) + "/";
        start = slash + 1;
    }
    return u + escape(curl.get(), remoteName);
}

bool CNet_Ftp_Handle::upload(const FtpTarget& target, const std::string& localFile, const std::string& remoteName)
{
    if (target.host.empty())
        return false;
    std::unique_ptr<FILE, FileCloser> in(std::fopen(localFile.c_str(), "rb"));
    if (!in)
        return false;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return false;
    const std::string target_url = url(target, remoteName);
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, target_url.c_str());
    curl_easy_setopt(c, CURLOPT_USERAGENT, "FaultTrace");
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READDATA, in.get());
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, target.connectTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, target.responseTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, target.totalTimeoutSeconds);
    if (!target.user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, target.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, target.password.c_str());
    }
    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK)
        std::fprintf(stderr, "FaultTrace: upload failed: %s\n", curl_easy_strerror(rc));
    return rc == CURLE_OK;
}

} // namespace FTR
