#include "online/HttpClient.h"

#include "online/CurlEasy.h"
#include "online/CurlHeaderList.h"

#include <curl/curl.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace network {

namespace {

using ErrorBuffer = std::array<char, CURL_ERROR_SIZE>;

// libcurl would otherwise read a missing body from standard input.
const char emptyBody[] = "";

size_t appendBytes(char* data, size_t size, size_t count, void* target)
{
    auto* bytes = static_cast<std::vector<char>*>(target);
    bytes->insert(bytes->end(), data, data + size * count);
    return size * count;
}

size_t readFile(char* buffer, size_t size, size_t count, void* file)
{
    return std::fread(buffer, size, count, static_cast<std::FILE*>(file));
}

// libcurl's progress callback: a non-zero answer ends the transfer.
int stopWhenAborted(void* request, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const HttpRequest*>(request)->isAborted() ? 1 : 0;
}

template <typename T>
bool setOption(const CurlEasy& easy, CURLoption option, T value)
{
    return curl_easy_setopt(easy.get(), option, value) == CURLE_OK;
}

// Performs the transfer and reads the status; a status that cannot be read after
// a completed transfer is a failure too.
bool performAndReadStatus(const CurlEasy& easy, HttpResponse& response)
{
    if (curl_easy_perform(easy.get()) != CURLE_OK)
        return false;
    long code = -1;
    const CURLcode info = curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &code);
    if (info != CURLE_OK) {
        std::fprintf(stderr, "curl_easy_perform() failed: %s\n", curl_easy_strerror(info));
        return false;
    }
    response.responseCode = code;
    return true;
}

void finish(HttpResponse& response, bool ok, const ErrorBuffer& errorBuffer)
{
    response.succeed = ok;
    if (!ok)
        response.errorBuffer.assign(errorBuffer.data()); // zero-filled, so always terminated
}

const char* bodyPointer(const std::vector<char>& body)
{
    return body.empty() ? emptyBody : body.data();
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

HttpClient& HttpClient::instance()
{
    static HttpClient* client = new HttpClient();
    return *client;
}

HttpClient::HttpClient()
{
    // Deployments behind their own certificate authority (and the tests) name
    // it here; it then replaces the system's trust store.
    if (const char* ca = std::getenv(caFileVariable))
        caFile = ca;
    threadPool.start();
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

std::string HttpClient::cookieFilename() const
{
    std::lock_guard<std::mutex> lock(cookieMutex);
    return cookieFile;
}

void HttpClient::setCookieFilename(const std::string& name)
{
    std::lock_guard<std::mutex> lock(cookieMutex);
    cookieFile = name;
}

std::string HttpClient::sslCaFilename() const
{
    std::lock_guard<std::mutex> lock(caMutex);
    return caFile;
}

void HttpClient::setSslCaFilename(const std::string& name)
{
    std::lock_guard<std::mutex> lock(caMutex);
    caFile = name;
}

void HttpClient::send(const std::shared_ptr<HttpRequest>& request, bool async)
{
    auto response = std::make_shared<HttpResponse>();
    if (async)
        threadPool.post([this, request, response] { transfer(request, response); });
    else
        transfer(request, response);
}

void HttpClient::transfer(const std::shared_ptr<HttpRequest>& request,
                          const std::shared_ptr<HttpResponse>& response)
{
    switch (request->type) {
    case HttpRequest::Get:
        performGet(*request, *response);
        break;
    case HttpRequest::Post:
        performPost(*request, *response);
        break;
    case HttpRequest::Put:
    case HttpRequest::PutFile:
        performPut(*request, *response);
        break;
    default:
        break;
    }
    if (request->callback)
        request->callback(request, response);
}

bool HttpClient::setupHandle(const CurlEasy& easy, CurlHeaderList& headers,
                             const HttpRequest& request, HttpResponse& response, char* errorBuffer)
{
    if (!easy)
        return false;
    if (!setOption(easy, CURLOPT_NOSIGNAL, 1L) || !setOption(easy, CURLOPT_ACCEPT_ENCODING, ""))
        return false;
    if (!setOption(easy, CURLOPT_XFERINFOFUNCTION, stopWhenAborted)
        || !setOption(easy, CURLOPT_XFERINFODATA, static_cast<const void*>(&request))
        || !setOption(easy, CURLOPT_NOPROGRESS, 0L))
        return false;
    const std::string cookies = cookieFilename();
    if (!cookies.empty()
        && (!setOption(easy, CURLOPT_COOKIEFILE, cookies.c_str())
            || !setOption(easy, CURLOPT_COOKIEJAR, cookies.c_str())))
        return false;
    if (!setOption(easy, CURLOPT_TIMEOUT, static_cast<long>(readTimeoutSeconds))
        || !setOption(easy, CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectTimeoutSeconds)))
        return false;
    // Never talk to an unverified peer. A named CA file is the whole trust:
    // the system's CA folder is dropped so it cannot widen it.
    if (!setOption(easy, CURLOPT_SSL_VERIFYPEER, 1L) || !setOption(easy, CURLOPT_SSL_VERIFYHOST, 2L))
        return false;
    const std::string ca = sslCaFilename();
    if (!ca.empty()
        && (!setOption(easy, CURLOPT_CAINFO, ca.c_str())
            || !setOption(easy, CURLOPT_CAPATH, static_cast<const char*>(nullptr))))
        return false;
    if (!request.headers.empty()) {
        for (const std::string& line : request.headers) {
            if (!headers.append(line))
                return false;
        }
        if (!setOption(easy, CURLOPT_HTTPHEADER, headers.get()))
            return false;
    }
    return setOption(easy, CURLOPT_URL, request.url.c_str())
        && setOption(easy, CURLOPT_WRITEFUNCTION, appendBytes)
        && setOption(easy, CURLOPT_WRITEDATA, &response.responseData)
        && setOption(easy, CURLOPT_HEADERFUNCTION, appendBytes)
        && setOption(easy, CURLOPT_HEADERDATA, &response.responseHeader)
        && setOption(easy, CURLOPT_ERRORBUFFER, errorBuffer);
}

bool HttpClient::performGet(const HttpRequest& request, HttpResponse& response)
{
    ErrorBuffer errorBuffer{};
    CurlHeaderList headers;
    CurlEasy easy;
    const bool ok = setupHandle(easy, headers, request, response, errorBuffer.data())
        && setOption(easy, CURLOPT_FOLLOWLOCATION, 1L)
        && performAndReadStatus(easy, response);
    finish(response, ok, errorBuffer);
    return ok;
}

bool HttpClient::performPost(const HttpRequest& request, HttpResponse& response)
{
    ErrorBuffer errorBuffer{};
    CurlHeaderList headers;
    CurlEasy easy;
    const bool ok = setupHandle(easy, headers, request, response, errorBuffer.data())
        && setOption(easy, CURLOPT_POST, 1L)
        && setOption(easy, CURLOPT_POSTFIELDS, bodyPointer(request.requestData))
        && setOption(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.requestData.size()))
        && performAndReadStatus(easy, response);
    finish(response, ok, errorBuffer);
    return ok;
}

bool HttpClient::performPut(const HttpRequest& request, HttpResponse& response)
{
    std::unique_ptr<std::FILE, FileCloser> file;
    curl_off_t fileSize = 0;
    if (!request.uploadFilePath.empty()) {
        file.reset(std::fopen(request.uploadFilePath.c_str(), "rb"));
        if (file && std::fseek(file.get(), 0, SEEK_END) == 0) {
            fileSize = std::ftell(file.get());
            std::fseek(file.get(), 0, SEEK_SET);
        }
        if (fileSize < 0)
            file.reset();
    }

    ErrorBuffer errorBuffer{};
    CurlHeaderList headers;
    CurlEasy easy;
    // A failed setup does not stop the PUT; a missing handle does, below.
    setupHandle(easy, headers, request, response, errorBuffer.data());
    bool ok = bool(easy);
    if (ok) {
        setOption(easy, CURLOPT_CUSTOMREQUEST, "PUT");
        setOption(easy, CURLOPT_VERBOSE, 1L);
        setOption(easy, CURLOPT_POSTFIELDS, bodyPointer(request.requestData));
        setOption(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.requestData.size()));
        if (file) {
            setOption(easy, CURLOPT_UPLOAD, 1L);
            setOption(easy, CURLOPT_READFUNCTION, readFile);
            setOption(easy, CURLOPT_READDATA, file.get());
            setOption(easy, CURLOPT_INFILESIZE_LARGE, fileSize);
        }
        ok = performAndReadStatus(easy, response);
    }
    finish(response, ok, errorBuffer);
    return ok;
}

} // namespace network
