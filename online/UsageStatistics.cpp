#include "online/UsageStatistics.h"

#include "online/AssistRunner.h"
#include "online/BusinessEnvironment.h"
#include "online/BusinessParam.h"
#include "online/HttpClient.h"
#include "platform/PrivateProfile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>

namespace scbl::assist {

namespace {

const char* const reportParams[][2] = {
    {"online", "1"},          {"servertype", "6"},     {"softtype", "0"},
    {"desktoptype", "0"},     {"todayinssoftol", "0"}, {"operate_date", "0"},
    {"pv_online", "0"},       {"pv_servertype", "0"},  {"pv_softtype", "0"},
    {"pv_desktoptype", "0"},  {"pv_todayinssoftol", "0"}, {"baohuo100", "0"},
    {"pv_baohuo100", "0"},    {"baohuo3", "0"},        {"pv_baohuo3", "0"},
};

bool isPlainHost(const QByteArray& host)
{
    for (const char c : host) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
        if (!allowed)
            return false;
    }
    return !host.isEmpty();
}

void logResponse(const std::shared_ptr<network::HttpRequest>&,
                 const std::shared_ptr<network::HttpResponse>& response)
{
    if (!response->succeed)
        return;
    if (response->responseData.empty())
        qDebug().noquote() << "receive data is empty!";
    else
        qDebug().noquote() << QString::fromUtf8(response->responseData.data(),
                                                static_cast<int>(response->responseData.size()));
    qDebug().noquote() << "\r\n";
}

} // namespace

UsageStatistics& UsageStatistics::instance()
{
    // Never destroyed: a report still in flight at exit may yet touch it.
    static auto* statistics = new UsageStatistics;
    return *statistics;
}

QByteArray statisticsUrl()
{
    QByteArray host = qgetenv(statisticsHostVariable).trimmed();
    if (host.isEmpty())
        host = defaultStatisticsHost;
    if (!isPlainHost(host))
        return {};
    return "https://" + host + "/Tj/ol_detail";
}

bool trackingDisabled()
{
    return qgetenv("DO_NOT_TRACK").trimmed() == "1";
}

void UsageStatistics::sendOnlineReport()
{
    // Claimed up front, so two callers can never both send.
    if (reportSent.exchange(true))
        return;
    business_v2::BusinessParam params;
    params.addCommonParams();
    for (const auto& param : reportParams)
        params.set(param[0], param[1]);
    const QByteArray body = params.encode();

    const QByteArray url = statisticsUrl();
    if (url.isEmpty()) {
        reportSent = false;
        return;
    }
    auto request = std::make_shared<network::HttpRequest>();
    request->type = network::HttpRequest::Post;
    request->url = url.toStdString();
    request->callback = logResponse;
    request->setRequestData(body.toStdString());
    {
        std::lock_guard<std::mutex> lock(inFlightMutex);
        if (stopping)
            return;
        inFlight = request;
    }
    network::HttpClient::instance().send(request, false);
    std::lock_guard<std::mutex> lock(inFlightMutex);
    inFlight.reset();
}

bool UsageStatistics::stopReport()
{
    std::lock_guard<std::mutex> lock(inFlightMutex);
    stopping = true;
    if (!inFlight)
        return false;
    inFlight->abort();
    return true;
}

bool startUsageStatistics()
{
    if (trackingDisabled())
        return true;
    const QString settingsFile = business_v2::userSettingsFile();
    // The UTC date decides the day, wherever the user is.
    const int today = QDateTime::currentDateTimeUtc().date().day();
    const int lastDay = platform::readProfileInt(settingsFile, QStringLiteral("assist"),
                                                 QStringLiteral("upload"), -1);
    if (lastDay == today)
        return true;
    // Marked before sending, whatever comes of it: no retry on the same day.
    // A folder or file that cannot be written does not stop the report.
    QDir().mkpath(business_v2::userFolder());
    platform::writeProfileString(settingsFile, QStringLiteral("assist"), QStringLiteral("upload"),
                                 QString::number(today));

    if (auto previous = AssistRunner::current(); previous && previous->isRunning())
        return true;
    auto runner = std::make_shared<AssistRunner>();
    AssistRunner::setCurrent(runner);
    runner->start(QThread::InheritPriority);
    return true;
}

bool stopUsageStatistics(std::chrono::milliseconds bound)
{
    const bool wasSending = UsageStatistics::instance().stopReport();
    const auto runner = AssistRunner::current();
    if (!runner || runner->wait(static_cast<unsigned long>(bound.count()))) {
        if (wasSending)
            qDebug() << "usage report stopped at exit";
        return true;
    }
    qDebug() << "usage report still running at exit";
    return false;
}

} // namespace scbl::assist
