#include "faulttrace/helper/PublicAddressLookup.h"

#include "faulttrace/PublicAddressParser.h"

#include <algorithm>
#include <curl/curl.h>
#include <memory>

namespace FTR {

namespace {

constexpr size_t MaxAnswer = 512;

struct CurlDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Keeps the first 512 bytes, the single read the answer is judged by.
size_t collect(char* data, size_t size, size_t count, void* user)
{
    auto* answer = static_cast<std::string*>(user);
    const size_t n = size * count;
    if (answer->size() < MaxAnswer)
        answer->append(data, std::min(n, MaxAnswer - answer->size()));
    return n;
}

} // namespace

bool PublicAddressLookup::lookup(const std::string& host, int port, std::string& address, long timeoutSeconds)
{
    address.clear();
    if (host.empty())
        return false;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return false;
    std::unique_ptr<curl_slist, ListDeleter> headers(
        curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded"));
    const std::string url = "http://" + host + ":" + std::to_string(port) + "/getip.php?action=getip";
    std::string answer;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_USERAGENT, "FaultTrace");
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &answer);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, timeoutSeconds);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, timeoutSeconds);
    if (curl_easy_perform(c) != CURLE_OK)
        return false;
    address = PublicAddressParser::parse(answer);
    return true;
}

} // namespace FTR
