#pragma once

#include "online/HttpRequest.h"
#include "online/HttpResponse.h"
#include "online/ThreadPool.h"

#include <memory>
#include <mutex>
#include <string>

namespace network {

class CurlEasy;
class CurlHeaderList;

// The process-wide HTTP client over libcurl's easy interface: GET (following
// redirects), POST (not following them) and PUT, each on a fresh handle, run on
// the caller or on the four-thread pool "HttpThreadPool". The outcome goes to
// the request's callback only, on the thread that ran the transfer.
//
// TLS peers and host names are always verified: against the system's trust
// store, or against the named CA file alone when one is set.
class HttpClient
{
public:
    // Created on the first call, never destroyed.
    static HttpClient& instance();

    // Environment variable naming the initial CA file.
    static constexpr const char* caFileVariable = "SCRIBBLOOM_CA_FILE";

    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    void send(const std::shared_ptr<HttpRequest>& request, bool async);

    std::string cookieFilename() const;
    void setCookieFilename(const std::string& name);
    std::string sslCaFilename() const;
    void setSslCaFilename(const std::string& name);

    int connectTimeout() const { return connectTimeoutSeconds; }
    int readTimeout() const { return readTimeoutSeconds; }
    const ThreadPool& pool() const { return threadPool; }

private:
    HttpClient();
    ~HttpClient() = default;

    void transfer(const std::shared_ptr<HttpRequest>& request,
                  const std::shared_ptr<HttpResponse>& response);
    bool setupHandle(const CurlEasy& easy, CurlHeaderList& headers, const HttpRequest& request,
                     HttpResponse& response, char* errorBuffer);
    bool performGet(const HttpRequest& request, HttpResponse& response);
    bool performPost(const HttpRequest& request, HttpResponse& response);
    bool performPut(const HttpRequest& request, HttpResponse& response);

    mutable std::mutex cookieMutex;
    std::string cookieFile;
    mutable std::mutex caMutex;
    std::string caFile;
    int connectTimeoutSeconds = 30;
    int readTimeoutSeconds = 60;
    ThreadPool threadPool{"HttpThreadPool"};
};

} // namespace network
