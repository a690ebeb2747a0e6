#pragma once

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace network {
class HttpRequest;
}

namespace scbl::assist {

// The daily usage report: one form POST to the statistics service, at most
// once per process. Its outcome changes nothing in the program.
class UsageStatistics
{
public:
    static UsageStatistics& instance();

    // Builds, encodes and sends the report on the calling thread.
    void sendOnlineReport();

    bool sent() const { return reportSent.load(); }

    // From any thread: no report starts from now on, and one under way is
    // aborted. Returns whether one was under way.
    bool stopReport();

private:
    UsageStatistics() = default;

    std::atomic<bool> reportSent{false};
    std::atomic<bool> stopping{false};
    std::mutex inFlightMutex;
    std::shared_ptr<network::HttpRequest> inFlight;
};

// Environment variable naming the statistics host ("name" or "name:port")
// instead of the built-in one.
inline constexpr char statisticsHostVariable[] = "SCRIBBLOOM_STATS_HOST";
inline constexpr char defaultStatisticsHost[] = "stats.scribbloom.com";

// "https://" + host + "/Tj/ol_detail"; empty when the host override is not a
// plain host[:port], in which case no report goes out.
QByteArray statisticsUrl();

// True when the user opted out of telemetry (DO_NOT_TRACK=1).
bool trackingDisabled();

// At start-up, on the user-interface thread: unless the report already went
// out today (UTC day of the month in "upload" of section "assist" of the user
// settings file) or the user opted out, marks today and starts the runner
// thread that sends it. Always true.
bool startUsageStatistics();

// At exit, on the user-interface thread, before the libraries the report uses
// are torn down: stops a report still under way and waits at most `bound`
// for its thread to end. Returns whether no report thread runs any more; if
// one still does, the caller must end the process without tearing them down.
bool stopUsageStatistics(std::chrono::milliseconds bound);

} // namespace scbl::assist
