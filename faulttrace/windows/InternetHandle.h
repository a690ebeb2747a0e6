#pragma once
// Owns one WinINet handle and closes it when it goes.

#include <windows.h>
#include <wininet.h>

namespace FTR {

class InternetHandle
{
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : h(handle) {}
    ~InternetHandle()
    {
        if (h)
            InternetCloseHandle(h);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const { return h; }
    explicit operator bool() const { return h != nullptr; }

    // The session every network step of the report opens: agent "FaultTrace",
    // the system's proxy settings, and `timeoutMs` on each stage of a transfer.
    static HINTERNET openSession(unsigned timeoutMs);

private:
    HINTERNET h;
};

} // namespace FTR
