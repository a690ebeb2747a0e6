#pragma once

#include <curl/curl.h>

namespace network {

// Owns one libcurl easy handle; cleaned up when the holder goes. Movable, not copyable.
class CurlEasy
{
public:
    CurlEasy() : handle(curl_easy_init()) {}
    CurlEasy(const CurlEasy&) = delete;
    CurlEasy& operator=(const CurlEasy&) = delete;
    CurlEasy(CurlEasy&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    CurlEasy& operator=(CurlEasy&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle = other.handle;
            other.handle = nullptr;
        }
        return *this;
    }
    ~CurlEasy() { reset(); }

    CURL* get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

private:
    void reset()
    {
        if (handle)
            curl_easy_cleanup(handle);
        handle = nullptr;
    }

    CURL* handle = nullptr;
};

} // namespace network
