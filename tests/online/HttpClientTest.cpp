#include "online/HttpClient.h"
#include "tests/online/TestServer.h"

#include <QTemporaryFile>
#include <QtTest>

#include <chrono>
#include <future>
#include <thread>

using network::HttpClient;
using network::HttpRequest;
using network::HttpResponse;

namespace {

struct Outcome
{
    bool called = false;
    std::shared_ptr<HttpResponse> response;
    std::thread::id thread;
};

std::shared_ptr<HttpRequest> makeRequest(int type, const QByteArray& url)
{
    auto request = std::make_shared<HttpRequest>();
    request->type = type;
    request->url = url.toStdString();
    return request;
}

Outcome sendSync(const std::shared_ptr<HttpRequest>& request)
{
    Outcome outcome;
    request->callback = [&outcome](const std::shared_ptr<HttpRequest>&, const std::shared_ptr<HttpResponse>& response) {
        outcome.called = true;
        outcome.response = response;
        outcome.thread = std::this_thread::get_id();
    };
    HttpClient::instance().send(request, false);
    request->callback = nullptr;
    return outcome;
}

QByteArray body(const HttpResponse& response)
{
    return QByteArray(response.responseData.data(), int(response.responseData.size()));
}

QByteArray header(const HttpResponse& response)
{
    return QByteArray(response.responseHeader.data(), int(response.responseHeader.size()));
}

} // namespace

class HttpClientTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void unsetTypeCallsBackWithoutAnyTransfer();
    void emptyPostSendsZeroLengthBody();
    void postSendsBodyAndHeaderLines();
    void refusedPortFailsWithLibcurlsMessage();
    void serverErrorIsAResponseNotAFailure();
    void getFollowsRedirectButPostDoesNot();
    void putUploadsAnExistingFile();
    void putWithMissingFileIsStillSent();
    void httpsTrustsOnlyVerifiedPeers();
    void asyncSendsCallBackOnPoolThreads();

private:
    TestServer server;
};

void HttpClientTest::initTestCase()
{
    QVERIFY2(server.start(), qPrintable(server.errorText()));
}

void HttpClientTest::unsetTypeCallsBackWithoutAnyTransfer()
{
    auto request = makeRequest(HttpRequest::Unknown, server.httpUrl("/Tj/ol_detail"));
    QCOMPARE(HttpRequest().type, int(HttpRequest::Unknown));
    const Outcome outcome = sendSync(request);
    QVERIFY(outcome.called);
    QCOMPARE(outcome.thread, std::this_thread::get_id());
    QVERIFY(!outcome.response->succeed);
    QCOMPARE(outcome.response->responseCode, -1L);
    QVERIFY(outcome.response->responseData.empty());
    QVERIFY(server.reports().isEmpty());

    // Without a callback the send simply completes.
    HttpClient::instance().send(makeRequest(HttpRequest::Get, server.httpUrl("/hello")), false);
}

void HttpClientTest::emptyPostSendsZeroLengthBody()
{
    const Outcome outcome = sendSync(makeRequest(HttpRequest::Post, server.httpUrl("/echo")));
    QVERIFY(outcome.response->succeed);
    QCOMPARE(outcome.response->responseCode, 200L);
    QVERIFY(header(*outcome.response).contains("X-Method: POST\r\n"));
    QVERIFY(header(*outcome.response).contains("X-Length: 0\r\n"));
    QVERIFY(outcome.response->responseData.empty());
}

void HttpClientTest::postSendsBodyAndHeaderLines()
{
    auto request = makeRequest(HttpRequest::Post, server.httpUrl("/echo"));
    request->setRequestData(std::string("a=1&b=\0x", 8));
    request->headers = {"X-Test: carried", "X-Other: too"};
    const Outcome outcome = sendSync(request);
    QVERIFY(outcome.response->succeed);
    QCOMPARE(body(*outcome.response), QByteArray("a=1&b=\0x", 8));
    QVERIFY(header(*outcome.response).startsWith("HTTP/1.1 200"));
    QVERIFY(header(*outcome.response).contains("X-Got-Test: carried\r\n"));
}

void HttpClientTest::refusedPortFailsWithLibcurlsMessage()
{
    // Port 1 on loopback: nothing listens there, so the connection is refused.
    const Outcome outcome = sendSync(makeRequest(HttpRequest::Get, "http://127.0.0.1:1/hello"));
    QVERIFY(outcome.called);
    QVERIFY(!outcome.response->succeed);
    QVERIFY(outcome.response->responseCode <= 0);
    QVERIFY2(QByteArray::fromStdString(outcome.response->errorBuffer).contains("onnect"),
             outcome.response->errorBuffer.c_str());
}

void HttpClientTest::serverErrorIsAResponseNotAFailure()
{
    for (const int status : {404, 500}) {
        const Outcome outcome =
            sendSync(makeRequest(HttpRequest::Get, server.httpUrl("/status/" + QByteArray::number(status))));
        QVERIFY(outcome.response->succeed);
        QCOMPARE(outcome.response->responseCode, long(status));
        QCOMPARE(body(*outcome.response), "status " + QByteArray::number(status));
        QVERIFY(outcome.response->errorBuffer.empty());
    }
}

void HttpClientTest::getFollowsRedirectButPostDoesNot()
{
    const Outcome get = sendSync(makeRequest(HttpRequest::Get, server.httpUrl("/redirect")));
    QVERIFY(get.response->succeed);
    QCOMPARE(get.response->responseCode, 200L);
    QCOMPARE(body(*get.response), QByteArray("landed GET"));
    // Both answers' headers arrive, the redirect's first.
    QVERIFY(header(*get.response).startsWith("HTTP/1.1 302"));

    auto post = makeRequest(HttpRequest::Post, server.httpUrl("/redirect"));
    post->setRequestData("x=1");
    const Outcome posted = sendSync(post);
    QVERIFY(posted.response->succeed);
    QCOMPARE(posted.response->responseCode, 302L);
    QCOMPARE(body(*posted.response), QByteArray("moved"));
}

void HttpClientTest::putUploadsAnExistingFile()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    QByteArray content;
    for (int i = 0; i < 5000; ++i)
        content.append(char(i * 7));
    file.write(content);
    file.close();

    for (const int type : {int(HttpRequest::Put), int(HttpRequest::PutFile)}) {
        auto request = makeRequest(type, server.httpUrl("/echo"));
        request->uploadFilePath = file.fileName().toStdString();
        const Outcome outcome = sendSync(request);
        QVERIFY(outcome.response->succeed);
        QVERIFY(header(*outcome.response).contains("X-Method: PUT\r\n"));
        QCOMPARE(body(*outcome.response), content);
    }
}

void HttpClientTest::putWithMissingFileIsStillSent()
{
    auto request = makeRequest(HttpRequest::Put, server.httpUrl("/echo"));
    request->uploadFilePath = QDir(server.workDir()).filePath("no-such-file").toStdString();
    const Outcome bare = sendSync(request);
    QVERIFY(bare.response->succeed);
    QVERIFY(header(*bare.response).contains("X-Method: PUT\r\n"));
    QVERIFY(header(*bare.response).contains("X-Length: 0\r\n"));

    request->setRequestData("inline body");
    const Outcome withBody = sendSync(request);
    QVERIFY(withBody.response->succeed);
    QCOMPARE(body(*withBody.response), QByteArray("inline body"));
}

void HttpClientTest::httpsTrustsOnlyVerifiedPeers()
{
    HttpClient& client = HttpClient::instance();
    QCOMPARE(client.sslCaFilename(), std::string());

    // The system's trust store does not know the run's own authority.
    const Outcome untrusted = sendSync(makeRequest(HttpRequest::Get, server.httpsUrl("/hello")));
    QVERIFY(!untrusted.response->succeed);
    QVERIFY(!untrusted.response->errorBuffer.empty());

    // A named CA file replaces the system store rather than adding to it.
    const QString systemBundle = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");
    if (QFile::exists(systemBundle)) {
        client.setSslCaFilename(systemBundle.toStdString());
        QVERIFY(!sendSync(makeRequest(HttpRequest::Get, server.httpsUrl("/hello"))).response->succeed);
    }

    client.setSslCaFilename(server.caFile().toStdString());
    const Outcome trusted = sendSync(makeRequest(HttpRequest::Get, server.httpsUrl("/hello")));
    // A certificate from a trusted authority is still refused for the wrong host.
    const Outcome misnamed = sendSync(makeRequest(HttpRequest::Get, server.misnamedHttpsUrl("/hello")));
    client.setSslCaFilename(std::string());
    QVERIFY(!misnamed.response->succeed);
    QVERIFY2(QByteArray::fromStdString(misnamed.response->errorBuffer).contains("host name"),
             misnamed.response->errorBuffer.c_str());
    QVERIFY2(trusted.response->succeed, trusted.response->errorBuffer.c_str());
    QCOMPARE(trusted.response->responseCode, 200L);
    QCOMPARE(body(*trusted.response), QByteArray("hello"));
}

void HttpClientTest::asyncSendsCallBackOnPoolThreads()
{
    constexpr int requests = 12;
    std::vector<std::promise<std::pair<std::thread::id, long>>> done(requests);
    for (int i = 0; i < requests; ++i) {
        auto request = makeRequest(HttpRequest::Get, server.httpUrl("/hello"));
        request->callback = [&done, i](const std::shared_ptr<HttpRequest>&, const std::shared_ptr<HttpResponse>& response) {
            done[size_t(i)].set_value({std::this_thread::get_id(), response->succeed ? response->responseCode : -2});
        };
        HttpClient::instance().send(request, true);
    }
    for (auto& promise : done) {
        auto future = promise.get_future();
        // A guard against a hang, not a speed check.
        QVERIFY(future.wait_for(std::chrono::seconds(60)) == std::future_status::ready);
        const auto [thread, code] = future.get();
        QVERIFY(thread != std::this_thread::get_id());
        QCOMPARE(code, 200L);
    }
}

QTEST_GUILESS_MAIN(HttpClientTest)
#include "HttpClientTest.moc"
