#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace network {

struct HttpResponse;

// One HTTP exchange as the caller describes it. Always held through a shared
// pointer; the client only reads it.
class HttpRequest
{
public:
    // Numbers of the request types; a request nobody set stays Unknown and
    // performs no transfer.
    enum Type { Get = 0, Post = 1, Put = 2, PutFile = 3, Unknown = 4 };

    using Callback = std::function<void(const std::shared_ptr<HttpRequest>&,
                                        const std::shared_ptr<HttpResponse>&)>;

    // The body becomes exactly the string's bytes, without a terminator.
    void setRequestData(const std::string& data) { requestData.assign(data.begin(), data.end()); }

    // Asks a transfer of this request under way, from any thread, to stop:
    // it ends as failed within about a second (libcurl's progress interval).
    void abort() { abortRequested = true; }
    bool isAborted() const { return abortRequested; }

    int type = Unknown;
    std::string url;
    std::vector<char> requestData;
    // Runs on the thread that performed the transfer, after every send.
    Callback callback;
    // Complete header lines, "Name: value".
    std::vector<std::string> headers;
    // PUT only: a local file whose contents are uploaded.
    std::string uploadFilePath;

private:
    std::atomic<bool> abortRequested{false};
};

} // namespace network
