#pragma once

#include <curl/curl.h>

#include <string>

namespace network {

// Owns a libcurl string list of request header lines. Movable, not copyable.
// Declare it before the easy handle that uses it, so the handle goes first.
class CurlHeaderList
{
public:
    CurlHeaderList() = default;
    CurlHeaderList(const CurlHeaderList&) = delete;
    CurlHeaderList& operator=(const CurlHeaderList&) = delete;
    CurlHeaderList(CurlHeaderList&& other) noexcept : list(other.list) { other.list = nullptr; }
    CurlHeaderList& operator=(CurlHeaderList&& other) noexcept
    {
        if (this != &other) {
            reset();
            list = other.list;
            other.list = nullptr;
        }
        return *this;
    }
    ~CurlHeaderList() { reset(); }

    // False when libcurl could not extend the list (the list so far is kept).
    bool append(const std::string& line)
    {
        curl_slist* extended = curl_slist_append(list, line.c_str());
        if (!extended)
            return false;
        list = extended;
        return true;
    }

    curl_slist* get() const { return list; }

private:
    void reset()
    {
        if (list)
            curl_slist_free_all(list);
        list = nullptr;
    }

    curl_slist* list = nullptr;
};

} // namespace network
