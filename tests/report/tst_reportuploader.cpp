#include "course/shutdown.h"
#include "phpserver.h"
#include "report/reportuploader.h"
#include "skiporfail.h"
#include "tlssite.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QScopeGuard>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

struct Script
{
    const char *folder;
    const char *tail;
};

const Script kScripts[] = {
    {"ok", "echo 'OK';"},
    {"fail", "http_response_code(500); echo 'broken';"},
    {"cookie", "setcookie('sid', 'abc123', ['path' => '/']); echo 'OK';"},
    {"moved307", "header('Location: /ok/upreport.php', true, 307);"},
    {"moved308", "header('Location: ../ok/upreport.php', true, 308);"},
    {"moved301", "header('Location: /ok/upreport.php', true, 301);"},
    {"moved302", "header('Location: /ok/upreport.php', true, 302);"},
    {"moved303", "header('Location: /ok/upreport.php', true, 303);"},
    {"away307",
     "header('Location: http://localhost:' . $_SERVER['SERVER_PORT'] . '/ok/upreport.php', true, "
     "307);"},
    {"loop307", "header('Location: /loop307/upreport.php', true, 307);"},
};

const QByteArray kLog = QByteArrayLiteral(
    "15.01.2026 10:00:00 \xcf\xf0\xee\xe3\xf0\xe0\xec\xec\xe0 \xe7\xe0\xef\xf3\xf9\xe5\xed"
    "\xe0\r\n--not-a-boundary\r\n\0binary\xff\r\n"
    "15.01.2026 10:01:00 \xce\xf2\xef\xf0\xe0\xe2\xeb\xff\xe5\xec \xee\xf2\xf7\xb8\xf2...\r\n");

// A site on a bare socket: reads the whole request, then sends `head` and,
// if asked, a body that trickles a byte every 100 ms or never ends. It gives
// up by itself after `giveUpMs`, so an uploader that would wait for ever
// still comes back, with a failure.
class RawSite
{
public:
    enum Body
    {
        None,
        Trickle,
        Endless
    };

    RawSite(QByteArray head, Body body, int giveUpMs = 3000) : m_head(std::move(head)), m_body(body)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            m_peer = m_server.nextPendingConnection();
            QObject::connect(m_peer, &QTcpSocket::readyRead, m_peer, [this] { read(); });
        });
        m_trickle.setInterval(100);
        QObject::connect(&m_trickle, &QTimer::timeout, &m_server, [this] { m_peer->write("x"); });
        QTimer::singleShot(giveUpMs, &m_server, [this] { stop(); });
    }
    QUrl url() const { return QUrl(u"http://127.0.0.1:%1"_s.arg(m_server.serverPort())); }
    qint64 sent() const { return m_sent; }

private:
    void read()
    {
        m_request += m_peer->readAll();
        const qsizetype end = m_request.indexOf("\r\n\r\n");
        const qsizetype at = m_request.indexOf("Content-Length: ");
        if (m_answered || end < 0 || at < 0)
            return;
        const qsizetype length =
            m_request.mid(at + 16, m_request.indexOf('\r', at) - at - 16).toLongLong();
        if (m_request.size() < end + 4 + length)
            return;
        m_answered = true;
        m_peer->write(m_head);
        if (m_body == Trickle)
            m_trickle.start();
        if (m_body == Endless) {
            QObject::connect(m_peer, &QTcpSocket::bytesWritten, m_peer, [this](qint64 n) {
                m_sent += n;
                if (m_peer && m_peer->bytesToWrite() < 65536)
                    m_peer->write(QByteArray(65536, 'y'));
            });
            m_peer->write(QByteArray(65536, 'y'));
        }
    }
    void stop()
    {
        m_trickle.stop();
        if (m_peer)
            m_peer->abort(); // an endless body would never let a polite close finish
        m_peer = nullptr;
        m_server.close();
    }

    QTcpServer m_server;
    QTcpSocket *m_peer = nullptr;
    QTimer m_trickle;
    QByteArray m_head;
    QByteArray m_request;
    Body m_body;
    bool m_answered = false;
    qint64 m_sent = 0;
};

} // namespace

class TestReportUploader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void bodyFraming_data();
    void bodyFraming();
    void sendsTheFileAsTheSiteExpects();
    void answers_data();
    void answers();
    void redirectRefusal_data();
    void redirectRefusal();
    void cookieComesBack();
    void httpToHttpsOnTheSameHost();
    void failuresNamed_data();
    void failuresNamed();
    void silentServerTimesOut();
    void answerWithoutEnd_data();
    void answerWithoutEnd();
    void noServer();
    void unreadableFile();

private:
    QList<QJsonObject> requests() const;

    QTemporaryDir m_dir;
    PhpServer m_server;
    QString m_logPath;
};

void TestReportUploader::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile recorderFile(qEnvironmentVariable("NK_SOURCE_DIR") + u"/tests/report/recorder.php"_s);
    QVERIFY(recorderFile.open(QIODevice::ReadOnly));
    const QByteArray recorder = recorderFile.readAll();
    const QDir root(m_dir.filePath(u"site"_s));
    for (const Script &s : kScripts) {
        QVERIFY(root.mkpath(QString::fromLatin1(s.folder)));
        QFile script(root.filePath(QString::fromLatin1(s.folder) + u"/upreport.php"_s));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(recorder + s.tail + '\n');
    }
    m_logPath = m_dir.filePath(u"DEMO_08.12.2026_7.29.26_log.dat"_s);
    QFile log(m_logPath);
    QVERIFY(log.open(QIODevice::WriteOnly));
    QCOMPARE(log.write(kLog), kLog.size());
    log.close();
    QVERIFY2(m_server.start(root.path()), "php -S did not start");
}

void TestReportUploader::init()
{
    QDir(m_dir.filePath(u"requests"_s)).removeRecursively();
}

QList<QJsonObject> TestReportUploader::requests() const
{
    QList<QJsonObject> out;
    const QDir dir(m_dir.filePath(u"requests"_s));
    for (const QString &name : dir.entryList({u"*.json"_s}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            out << QJsonDocument::fromJson(f.readAll()).object();
    }
    return out;
}

void TestReportUploader::bodyFraming_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain") << u"C:\\N\\levels\\DEMO_1_log.dat"_s << QByteArray("ab\r\n")
                           << QByteArray(
                                  "--B\r\nContent-Disposition: form-data; name=\"filename\"; "
                                  "filename=\"C:\\N\\levels\\DEMO_1_log.dat\"\r\n"
                                  "Content-Type: text/html\r\n\r\nab\r\n\r\n--B--\r\n");
    QTest::newRow("empty file") << u"/x/a.dat"_s << QByteArray()
                                << QByteArray("--B\r\nContent-Disposition: form-data; "
                                              "name=\"filename\"; filename=\"/x/a.dat\"\r\n"
                                              "Content-Type: text/html\r\n\r\n\r\n--B--\r\n");
    QTest::newRow("quote in name")
        << u"/x/\"q\".dat"_s << QByteArray("z")
        << QByteArray("--B\r\nContent-Disposition: form-data; "
                      "name=\"filename\"; filename=\"/x/%22q%22.dat\"\r\n"
                      "Content-Type: text/html\r\n\r\nz\r\n--B--\r\n");
}

void TestReportUploader::bodyFraming()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QTEST(ReportUploader::body("B", fileName, content), "expected");
    const QByteArray boundary = ReportUploader::makeBoundary(content);
    QVERIFY(!content.contains(boundary));
    QCOMPARE(ReportUploader::contentType(boundary), "multipart/form-data; boundary=" + boundary);
}

void TestReportUploader::sendsTheFileAsTheSiteExpects()
{
    ReportUploader uploader;
    const UploadResult result = uploader.upload(m_server.url(u"/ok"_s), m_logPath);
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(result.error.isEmpty());
    const QList<QJsonObject> got = requests();
    QCOMPARE(got.size(), 1);
    const QJsonObject r = got.first();
    QCOMPARE(r[u"script"_s].toString(), u"/ok/upreport.php"_s);
    QCOMPARE(r[u"method"_s].toString(), u"POST"_s);
    QCOMPARE(r[u"fields"_s].toArray(), QJsonArray{u"filename"_s});
    QCOMPARE(r[u"fullPath"_s].toString(), m_logPath);
    QCOMPARE(r[u"type"_s].toString(), u"text/html"_s);
    QCOMPARE(QByteArray::fromBase64(r[u"bytes"_s].toString().toLatin1()), kLog);
    QCOMPARE(r[u"accept"_s].toString(), u"text/html, */*"_s);
    QCOMPARE(r[u"userAgent"_s].toString(), u"Mozilla/3.0 (compatible; Indy Library)"_s);
    const QString contentType = r[u"contentType"_s].toString();
    QVERIFY2(contentType.startsWith(u"multipart/form-data; boundary=-"_s), qPrintable(contentType));
    QVERIFY2(!contentType.contains(u'"'), qPrintable(contentType));
}

void TestReportUploader::answers_data()
{
    QTest::addColumn<QString>("site");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<QStringList>("scripts");
    QTest::addColumn<bool>("fileAtLast");
    QTest::newRow("200") << u"/ok"_s << true << QString() << QStringList{u"/ok/upreport.php"_s}
                         << true;
    QTest::newRow("500") << u"/fail"_s << false << u"500"_s << QStringList{u"/fail/upreport.php"_s}
                         << true;
    QTest::newRow("307 keeps the post")
        << u"/moved307"_s << true << QString()
        << QStringList{u"/moved307/upreport.php"_s, u"/ok/upreport.php"_s} << true;
    QTest::newRow("308 keeps the post")
        << u"/moved308"_s << true << QString()
        << QStringList{u"/moved308/upreport.php"_s, u"/ok/upreport.php"_s} << true;
    QTest::newRow("301 keeps the post")
        << u"/moved301"_s << true << QString()
        << QStringList{u"/moved301/upreport.php"_s, u"/ok/upreport.php"_s} << true;
    QTest::newRow("302 keeps the post")
        << u"/moved302"_s << true << QString()
        << QStringList{u"/moved302/upreport.php"_s, u"/ok/upreport.php"_s} << true;
    // A redirect that would lose the file names where it pointed, and is not followed.
    QTest::newRow("303 is not followed")
        << u"/moved303"_s << false << m_server.url(u"/ok/upreport.php"_s).toString()
        << QStringList{u"/moved303/upreport.php"_s} << true;
    QTest::newRow("307 to another host")
        << u"/away307"_s << false << u"другой сайт: http://localhost:"_s
        << QStringList{u"/away307/upreport.php"_s} << true;
    QTest::newRow("307 round and round")
        << u"/loop307"_s << false << u"по кругу"_s
        << QStringList(ReportUploader::kMaxRedirects + 1, u"/loop307/upreport.php"_s) << true;
    QTest::newRow("404") << u"/missing"_s << false << u"404"_s << QStringList{} << false;
}

void TestReportUploader::redirectRefusal_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errorPart"); // empty: followed
    const QString site = u"https://site.ru/upreport.php"_s;
    QTest::newRow("307 on the site")
        << site << u"https://site.ru/new/upreport.php"_s << 307 << QString();
    QTest::newRow("308, host in capitals")
        << site << u"https://SITE.ru/upreport.php"_s << 308 << QString();
    QTest::newRow("http to https on the site")
        << u"http://site.ru/upreport.php"_s << site << 308 << QString();
    QTest::newRow("301 from http to https on the site")
        << u"http://site.ru/upreport.php"_s << site << 301 << QString();
    QTest::newRow("302 on the site")
        << site << u"https://site.ru/new/upreport.php"_s << 302 << QString();
    QTest::newRow("https to http on the site")
        << site << u"http://site.ru/upreport.php"_s << 307
        << u"незащищённый адрес http://site.ru/upreport.php"_s;
    QTest::newRow("https to http elsewhere")
        << site << u"http://other.ru/upreport.php"_s << 308 << u"незащищённый"_s;
    QTest::newRow("another host") << site << u"https://www.site.ru/upreport.php"_s << 307
                                  << u"другой сайт: https://www.site.ru/upreport.php"_s;
    QTest::newRow("not the web") << u"http://site.ru/upreport.php"_s
                                 << u"ftp://site.ru/upreport.php"_s << 307 << u"другой сайт"_s;
    QTest::newRow("303 on the site") << site << u"https://site.ru/thanks.php"_s << 303
                                     << u"адрес https://site.ru/thanks.php (ответ 303)"_s;
}

void TestReportUploader::redirectRefusal()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, status);
    QFETCH(QString, errorPart);
    const QString refusal = ReportUploader::redirectRefusal(QUrl(from), QUrl(to), status);
    QCOMPARE(refusal.isEmpty(), errorPart.isEmpty());
    QVERIFY2(refusal.contains(errorPart), qPrintable(refusal));
    if (!refusal.isEmpty())
        QVERIFY2(refusal.endsWith(u"Отчёт не отправлен."_s), qPrintable(refusal));
}

void TestReportUploader::answers()
{
    QFETCH(QString, site);
    ReportUploader uploader;
    const UploadResult result = uploader.upload(m_server.url(site), m_logPath);
    QTEST(result.ok, "ok");
    QFETCH(QString, errorPart);
    QCOMPARE(result.error.isEmpty(), errorPart.isEmpty());
    QVERIFY2(result.error.contains(errorPart), qPrintable(result.error));
    QStringList scripts;
    const QList<QJsonObject> got = requests();
    for (const QJsonObject &r : got)
        scripts << r[u"script"_s].toString();
    QTEST(scripts, "scripts");
    QFETCH(bool, fileAtLast);
    if (!got.isEmpty())
        QCOMPARE(QByteArray::fromBase64(got.last()[u"bytes"_s].toString().toLatin1()) == kLog,
                 fileAtLast);
}

// The usual move of a whole site: the report goes on to the https address of
// the same host, with its file.
void TestReportUploader::httpToHttpsOnTheSameHost()
{
    TlsSite secure;
    if (const QString why = secure.start(m_dir.path()); !why.isEmpty())
        NK_SKIP_OR_FAIL(why);
    const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = before;
    trusting.addCaCertificate(secure.certificate());
    QSslConfiguration::setDefaultConfiguration(trusting);
    const auto restore =
        qScopeGuard([&before] { QSslConfiguration::setDefaultConfiguration(before); });
    const QDir root(m_dir.filePath(u"site/tohttps"_s));
    QVERIFY(root.mkpath(u"."_s));
    QFile script(root.filePath(u"upreport.php"_s));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("<?php header('Location: " + secure.url(u"/upreport.php"_s).toEncoded() +
                 "', true, 301);\n");
    script.close();
    ReportUploader uploader;
    const UploadResult result = uploader.upload(m_server.url(u"/tohttps"_s), m_logPath);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(secure.requests().size(), 1);
    QVERIFY(secure.requests().first().startsWith("POST /upreport.php HTTP/1.1\r\n"));
    QVERIFY(secure.requests().first().contains(kLog));
}

void TestReportUploader::failuresNamed_data()
{
    QTest::addColumn<bool>("tls");   // to an https site whose certificate nothing trusts
    QTest::addColumn<bool>("proxy"); // through a proxy that is not there
    QTest::addColumn<QString>("told");
    QTest::newRow("certificate not trusted")
        << true << false << u"Неверная дата на компьютере или сертификат сайта"_s;
    QTest::newRow("proxy down") << false << true << u"Прокси-сервер не отвечает"_s;
}

// What went wrong is named, rather than "try later" for everything.
void TestReportUploader::failuresNamed()
{
    QFETCH(bool, tls);
    QFETCH(bool, proxy);
    TlsSite secure;
    if (tls) {
        if (const QString why = secure.start(m_dir.path()); !why.isEmpty())
            NK_SKIP_OR_FAIL(why);
    }
    if (proxy) // a loopback address would bypass it
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, u"127.0.0.1"_s, PhpServer::freePort()));
    const auto noProxy = qScopeGuard([] { QNetworkProxy::setApplicationProxy({}); });
    ReportUploader uploader;
    const UploadResult result =
        uploader.upload(tls ? secure.url() : QUrl(u"http://maker.example"_s), m_logPath);
    QVERIFY(!result.ok);
    QFETCH(QString, told);
    QVERIFY2(result.error.contains(told), qPrintable(result.error));
    QVERIFY(requests().isEmpty());
    QVERIFY(secure.requests().isEmpty());
}

void TestReportUploader::cookieComesBack()
{
    ReportUploader uploader;
    QVERIFY(uploader.upload(m_server.url(u"/cookie"_s), m_logPath).ok);
    QVERIFY(uploader.upload(m_server.url(u"/ok"_s), m_logPath).ok);
    ReportUploader fresh;
    QVERIFY(fresh.upload(m_server.url(u"/ok"_s), m_logPath).ok);
    const QList<QJsonObject> got = requests();
    QCOMPARE(got.size(), 3);
    QCOMPARE(got[0][u"cookie"_s].toString(), QString());
    QCOMPARE(got[1][u"cookie"_s].toString(), u"sid=abc123"_s);
    QCOMPARE(got[2][u"cookie"_s].toString(), QString()); // kept per uploader, not on disk
}

void TestReportUploader::silentServerTimesOut()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    QTcpSocket *peer = nullptr;
    QByteArray received;
    connect(&silent, &QTcpServer::newConnection, this, [&] {
        peer = silent.nextPendingConnection();
        connect(peer, &QTcpSocket::readyRead, this, [&] { received += peer->readAll(); });
    });
    ReportUploader uploader;
    uploader.setStallTimeout(std::chrono::milliseconds(500));
    UploadResult second{true, {}};
    QTimer::singleShot(0, this, [&] { second = uploader.upload(QUrl(u"http://x"_s), m_logPath); });
    const QUrl site(u"http://127.0.0.1:%1"_s.arg(silent.serverPort()));
    const UploadResult result = uploader.upload(site, m_logPath);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(u"не отвечает"_s), qPrintable(result.error));
    QVERIFY(!second.ok); // a send while one runs is refused
    QVERIFY2(second.error.contains(u"уже отправляется"_s), qPrintable(second.error));
    QVERIFY(!uploader.isBusy());
    // The raw request as it went over the wire.
    QVERIFY2(received.startsWith("POST /upreport.php HTTP/1.1\r\n"), received.left(80).constData());
    const qsizetype at = received.indexOf("\r\nContent-Type: multipart/form-data; boundary=");
    QVERIFY(at > 0);
    const qsizetype from = received.indexOf('=', at) + 1;
    const QByteArray boundary = received.mid(from, received.indexOf('\r', from) - from);
    QVERIFY(boundary.size() >= 16);
    QVERIFY(received.contains(QByteArray("\r\n\r\n--" + boundary +
                                         "\r\nContent-Disposition: form-data; "
                                         "name=\"filename\"; filename=\"" +
                                         m_logPath.toUtf8() + "\"\r\n")));
    QVERIFY(received.endsWith(
        QByteArray("\r\nContent-Type: text/html\r\n\r\n" + kLog + "\r\n--" + boundary + "--\r\n")));
}

void TestReportUploader::answerWithoutEnd_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("body");
    QTest::addColumn<int>("deadlineMs");
    QTest::addColumn<bool>("sessionEnds");  // the session ends 200 ms into the upload
    QTest::addColumn<QString>("errorPart"); // empty: sent
    const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
    QTest::newRow("status, then a byte at a time")
        << ok << int(RawSite::Trickle) << 120000 << false << QString();
    QTest::newRow("status, then no end")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n") << int(RawSite::Endless)
        << 120000 << false << QString();
    QTest::newRow("error, then no end")
        << QByteArray("HTTP/1.1 500 Oops\r\n\r\n") << int(RawSite::Endless) << 120000 << false
        << u"ошибкой 500"_s;
    QTest::newRow("no status before the deadline")
        << QByteArray() << int(RawSite::None) << 300 << false << u"слишком долго"_s;
    QTest::newRow("the session ends")
        << QByteArray() << int(RawSite::None) << 120000 << true << u"прервана"_s;
}

// Whatever the site does after the status line, and if it never sends one,
// the upload comes to an outcome: the status decides, and the deadline and the
// end of the session bound the wait.
void TestReportUploader::answerWithoutEnd()
{
    QFETCH(QByteArray, head);
    QFETCH(int, body);
    QFETCH(int, deadlineMs);
    QFETCH(bool, sessionEnds);
    QFETCH(QString, errorPart);
    RawSite site(head, RawSite::Body(body));
    ReportUploader uploader;
    uploader.setDeadline(std::chrono::milliseconds(deadlineMs));
    if (sessionEnds)
        QTimer::singleShot(200, this, [] { Shutdown::request(); });
    const UploadResult result = uploader.upload(site.url(), m_logPath);
    Shutdown::reset();
    QCOMPARE(result.ok, errorPart.isEmpty());
    QVERIFY2(result.error.contains(errorPart), qPrintable(result.error));
    QVERIFY(!uploader.isBusy());
    QVERIFY(site.sent() < 16 * 1024 * 1024); // the endless body was not read on
}

void TestReportUploader::noServer()
{
    ReportUploader uploader;
    const UploadResult result =
        uploader.upload(QUrl(u"http://127.0.0.1:%1"_s.arg(PhpServer::freePort())), m_logPath);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(u"Нет связи"_s), qPrintable(result.error));
}

void TestReportUploader::unreadableFile()
{
    ReportUploader uploader;
    const UploadResult result =
        uploader.upload(m_server.url(u"/ok"_s), m_dir.filePath(u"no-such-file.dat"_s));
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(requests().isEmpty());
}

QTEST_GUILESS_MAIN(TestReportUploader)
#include "tst_reportuploader.moc"
