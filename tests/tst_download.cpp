#include "app/program.h"
#include "platform/httpclient.h"
#include "platform/jpegdecoder.h"
#include "support/files.h"
#include "support/httpserver.h"
#include "support/recordingopener.h"
#include "support/recordingreporter.h"
#include "support/settingsfolder.h"
#include "support/widgets.h"
#include "windows/downloadform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QString installerName = QStringLiteral("OrskelLobbySetup.run");
const QString installerPath = QStringLiteral("/lobby/") + installerName;
constexpr int slowTimeoutMs = 30000;

// A stand-in installer: writes its arguments, one a line, beside itself.
QByteArray standInInstaller(int padding)
{
    return "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n#" +
           QByteArray(padding, 'x') + "\n";
}

QString text(QWidget& window, const char* label)
{
    return child<QLabel>(window, label)->text();
}

QStringList messages(QWidget& window)
{
    QStringList texts;
    for (QMessageBox* box : window.findChildren<QMessageBox*>(QStringLiteral("message")))
        texts << box->text();
    return texts;
}

// The labels' texts seen after each of the HTTP client's notifications.
struct Progress {
    QStringList info;
    QStringList stage;
    void watch(Tdownload& window)
    {
        auto* http = window.findChild<HttpClient*>(QStringLiteral("HttpCli1"));
        auto record = [this, &window] {
            info << text(window, "infolabel");
            stage << text(window, "infolabel3");
        };
        QObject::connect(http, &HttpClient::headerData, &window, record);
        QObject::connect(http, &HttpClient::docBegin, &window, record);
        QObject::connect(http, &HttpClient::docData, &window, record);
    }
};

// When the window has received `bytes` of the body, runs `action` as a later event, the
// way a user's click or a network event would arrive.
void whenReceived(Tdownload& window, qint64 bytes, std::function<void()> action)
{
    auto* http = window.findChild<HttpClient*>(QStringLiteral("HttpCli1"));
    QObject::connect(http, &HttpClient::docData, &window, [bytes, action](qint64 received) {
        if (received == bytes)
            QMetaObject::invokeMethod(qApp, action, Qt::QueuedConnection);
    });
}

void expectIdleButtons(Tdownload& window)
{
    QVERIFY(child<QPushButton>(window, "getbutton")->isEnabled());
    QVERIFY(!child<QPushButton>(window, "abortbutton")->isEnabled());
}
} // namespace

class TestDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addressAndLobbyPlace();
    void pictureIsDecodedWithLibjpeg();
    void damagedPicturesAreRefused();
    void soloStartDownloadsRunsInstallerAndCloses();
    void failedDownloadStartsNothing_data();
    void failedDownloadStartsNothing();
    void installerThatCannotStart();
    void playWithOthersAtItsPlace();
    void playWithOthersWithoutLobby();
    void playWithOthersThatCannotStart();
    void playSoloClosesTheWindow();

private:
    std::unique_ptr<Tdownload> window(const QString& path = installerPath);
    void startDownload(Tdownload& window);
    // The program started solo.
    std::unique_ptr<Program> soloProgram();

    RecordingReporter m_errors;
    TestHttpServer m_http;
    RecordingOpener m_opener;
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_home;
};

void TestDownload::initTestCase()
{
    // A proxy from the environment must be ignored: one that answers nothing would fail
    // every download below.
    qputenv("http_proxy", "http://127.0.0.1:9");
    qputenv("all_proxy", "http://127.0.0.1:9");
    QVERIFY(m_http.listen());
    m_home = qgetenv("HOME");
}

void TestDownload::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_opener = RecordingOpener();
    m_http.requests = 0;
    m_errors.errors.clear();
}

void TestDownload::cleanup()
{
    qputenv("HOME", m_home);
}

std::unique_ptr<Tdownload> TestDownload::window(const QString& path)
{
    auto download = std::make_unique<Tdownload>();
    download->setAddress(m_http.url(path));
    download->setDownloadDirectory(m_dir->path());
    download->setShellOpener(&m_opener);
    download->showDownload();
    return download;
}

void TestDownload::startDownload(Tdownload& window)
{
    // The click returns when the transfer has ended: the GET waits in its own event loop.
    QTest::mouseClick(child<QPushButton>(window, "getbutton"), Qt::LeftButton);
}

std::unique_ptr<Program> TestDownload::soloProgram()
{
    LaunchOptions options = isolatedOptions();
    options.gamePort = 0;
    return std::make_unique<Program>(options, &m_errors);
}

// The download goes over TLS by default; the lobby's place is under the user's home.
void TestDownload::addressAndLobbyPlace()
{
    Tdownload download;
    QCOMPARE(download.address().scheme(), QStringLiteral("https"));
    QCOMPARE(download.address().fileName(), installerName);
    qputenv("HOME", m_dir->path().toLocal8Bit());
    QCOMPARE(Tdownload::defaultLobbyPath(), m_dir->filePath(".local/share/Orskel/OrskelLobby"));
}

void TestDownload::pictureIsDecodedWithLibjpeg()
{
    const QByteArray data = readFile(QStringLiteral(":/images/lobby.jpg"));
    QVERIFY(data.startsWith("\xFF\xD8"));
    const QImage image = jpeg::decode(data);
    QCOMPARE(image.size(), QSize(436, 360));

    Tdownload download;
    QCOMPARE(child<QLabel>(download, "image_lobby")->pixmap().size(), QSize(436, 360));

    // The same pixels as Qt's own reader, where that plugin is installed.
    if (!QImageReader::supportedImageFormats().contains("jpeg"))
        QSKIP("no JPEG image plugin to compare with");
    const QImage reference = QImage::fromData(data, "JPEG").convertToFormat(QImage::Format_RGB888);
    QCOMPARE(reference.size(), image.size());
    int worst = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* a = image.constScanLine(y);
        const uchar* b = reference.constScanLine(y);
        for (int x = 0; x < image.width() * 3; ++x)
            worst = qMax(worst, qAbs(int(a[x]) - int(b[x])));
    }
    QVERIFY2(worst <= 2, qPrintable(QStringLiteral("channels differ by %1").arg(worst)));
}

void TestDownload::damagedPicturesAreRefused()
{
    const QByteArray data = readFile(QStringLiteral(":/images/lobby.jpg"));
    QString why;

    QVERIFY(jpeg::decode(QByteArray(), &why).isNull());
    QVERIFY(jpeg::decode("not a picture at all", &why).isNull());
    QVERIFY(!why.isEmpty());
    QVERIFY(jpeg::decode(data.left(300), &why).isNull());

    // A short file still decodes, the missing part filled in.
    QCOMPARE(jpeg::decode(data.left(data.size() / 2)).size(), QSize(436, 360));

    // A frame header claiming 60000 by 60000 is refused before any pixel memory is taken.
    QByteArray huge = data;
    const qsizetype frame = huge.indexOf("\xFF\xC0");
    QVERIFY(frame > 0);
    for (qsizetype at : {frame + 5, frame + 7}) {
        huge[at] = char(0xEA);
        huge[at + 1] = char(0x60);
    }
    why.clear();
    QVERIFY(jpeg::decode(huge, &why).isNull());
    QVERIFY2(why.contains(QStringLiteral("refused")), qPrintable(why));
}

// Solo start: the window is offered; a whole download runs the installer with its
// parameters and the game closes.
void TestDownload::soloStartDownloadsRunsInstallerAndCloses()
{
    const std::unique_ptr<Program> program = soloProgram();
    Tdownload& download = program->download();
    QVERIFY(!download.isVisible());
    program->chat().show();
    QTRY_VERIFY(download.isVisible());
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    // Before a window's first show its frame can only be estimated.
    QVERIFY((download.frameGeometry().center() - desktop.center()).manhattanLength() <= 4);

    TestHttpServer::Reply reply;
    reply.body = standInInstaller(200000);
    reply.headers << "Content-Type: application/octet-stream"
                  << "Server: test";
    m_http.setReply(reply);
    download.setAddress(m_http.url(installerPath));
    download.setDownloadDirectory(m_dir->path());
    QSignalSpy closed(&program->chat(), &Tchat::closed);
    Progress progress;
    progress.watch(download);

    startDownload(download);

    QCOMPARE(m_http.requestLine, "GET " + installerPath.toLatin1() + " HTTP/1.0");
    QCOMPARE(m_http.requestHeaders,
             QByteArrayList({"Host: 127.0.0.1:" + QByteArray::number(m_http.port()),
                             "User-Agent: Mozilla/3.0 (compatible)",
                             "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*"}));

    // A dot per head line, then the body's running count.
    const int headLines = int(m_http.replyHeadLines().size());
    for (int line = 1; line <= headLines; ++line)
        QCOMPARE(progress.info.at(line - 1), QStringLiteral("Loading") + QString(line, '.'));
    QCOMPARE(progress.stage.at(headLines), QStringLiteral("Downloading: ") + installerName);
    QVERIFY(progress.info.size() > headLines + 1);
    QCOMPARE(progress.info.last(), QStringLiteral("%1 bytes").arg(reply.body.size()));
    QCOMPARE(text(download, "infolabel"),
             QStringLiteral("Received %1 bytes").arg(reply.body.size()));
    QCOMPARE(text(download, "infolabel3"), QStringLiteral("Installing"));
    QCOMPARE(download.outcomeTag(), 1);
    expectIdleButtons(download);

    const QString installer = m_dir->filePath(installerName);
    QCOMPARE(readFile(installer), reply.body);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!program->chat().isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(readFile(installer + ".args"),
                              QByteArray("/SP-\n/silent\n/noicons\n"), slowTimeoutMs);
    QVERIFY(m_errors.errors.isEmpty());
}

enum Ending { Whole, Close, Reset, BeforeHead, Refused, Stop };

void TestDownload::failedDownloadStartsNothing_data()
{
    QTest::addColumn<QByteArray>("status"); // empty: 200 OK
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("ending");
    QTest::addColumn<bool>("contentLength");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("stage");   // null: not checked
    QTest::addColumn<QByteArray>("file"); // what the file holds afterwards; null: not checked
    const QString aborted = QStringLiteral("Download Aborted");
    const QByteArray installer = standInInstaller(5000);
    // The file was made before the GET; an error page is not written into it.
    const auto httpError = [&](const char* title, const char* status, const char* body) {
        QTest::newRow(title) << QByteArray(status) << QByteArray(body) << int(Whole) << true
                             << aborted << QString() << QByteArray("");
    };
    httpError("404 with a page", "HTTP/1.0 404 Not Found", "<h1>gone</h1>");
    httpError("404 empty", "HTTP/1.1 404 Not Found", "");
    httpError("503", "HTTP/1.0 503 Service Unavailable", "busy");
    httpError("redirect without a place", "HTTP/1.0 302 Found", "x");
    // The part received is kept.
    QTest::newRow("stopped by the user")
        << QByteArray() << installer << int(Stop) << true
        << QStringLiteral("Download has been aborted.") << aborted << installer.left(1000);
    // Every failure that is not an HTTP status counts as an abort.
    const auto broken = [&](const char* title, Ending ending, bool contentLength) {
        QTest::newRow(title) << QByteArray() << installer << int(ending) << contentLength << aborted
                             << aborted << QByteArray();
    };
    broken("closed mid-body", Close, true);
    broken("reset mid-body", Reset, true);
    broken("closed mid-body, no length", Close, false);
    // Without a length a whole body cannot be told from a cut one.
    broken("whole body, no length", Whole, false);
    broken("closed before any answer", BeforeHead, true);
    broken("nobody listening", Refused, true);
}

void TestDownload::failedDownloadStartsNothing()
{
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, body);
    QFETCH(int, ending);
    QFETCH(bool, contentLength);
    QFETCH(QString, info);
    QFETCH(QString, stage);
    QFETCH(QByteArray, file);
    TestHttpServer::Reply reply;
    if (!status.isEmpty())
        reply.statusLine = status;
    reply.body = body;
    reply.contentLength = contentLength;
    reply.stallAfter = ending == Close || ending == Reset || ending == Stop ? 1000 : -1;
    reply.closeBeforeHead = ending == BeforeHead;
    m_http.setReply(reply);
    auto download = window();
    if (ending == Refused) {
        quint16 port = 0;
        {
            QTcpServer gone;
            QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
            port = gone.serverPort();
        }
        download->setAddress(
            QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(installerPath)));
    }
    QSignalSpy closing(download.get(), &Tdownload::closeGameRequested);
    QPushButton* stop = child<QPushButton>(*download, "abortbutton");
    bool stopWasEnabled = false;
    whenReceived(*download, 1000, [&] {
        stopWasEnabled = stop->isEnabled();
        if (ending == Stop)
            QTest::mouseClick(stop, Qt::LeftButton);
        else
            m_http.cut(ending == Reset);
    });

    startDownload(*download);

    QCOMPARE(m_http.requests, ending == Refused ? 0 : 1);
    QCOMPARE(text(*download, "infolabel"), info);
    if (!stage.isNull())
        QCOMPARE(text(*download, "infolabel3"), stage);
    QCOMPARE(download->outcomeTag(), 2);
    expectIdleButtons(*download);
    QVERIFY(m_opener.programs.isEmpty());
    QCOMPARE(closing.count(), 0);
    if (ending == Stop) {
        QVERIFY(stopWasEnabled);
        m_http.cut(false);
    }
    if (!file.isNull())
        QCOMPARE(readFile(m_dir->filePath(installerName)), file);
}

void TestDownload::installerThatCannotStart()
{
    TestHttpServer::Reply reply;
    reply.body = standInInstaller(10);
    m_http.setReply(reply);
    auto download = window();
    m_opener.succeed = false;
    QSignalSpy closing(download.get(), &Tdownload::closeGameRequested);

    startDownload(*download);

    QCOMPARE(m_opener.programs.size(), 1);
    QCOMPARE(m_opener.programs.first().first, m_dir->filePath(installerName));
    QCOMPARE(m_opener.programs.first().second, QStringList({"/SP-", "/silent", "/noicons"}));
    QCOMPARE(messages(*download), QStringList{QStringLiteral("An Error has Occurred.")});
    QCOMPARE(closing.count(), 0);
}

// The lobby at its place under the home folder is started and the game closes.
void TestDownload::playWithOthersAtItsPlace()
{
    qputenv("HOME", m_dir->path().toLocal8Bit());
    const QString lobby = m_dir->filePath(QStringLiteral(".local/share/Orskel/OrskelLobby"));
    QVERIFY(QDir().mkpath(QFileInfo(lobby).path()));
    writeFile(lobby, "#!/bin/sh\necho \"$#\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.started\"\n");
    QVERIFY(QFile::setPermissions(lobby, QFile::permissions(lobby) | QFileDevice::ExeOwner));
    const std::unique_ptr<Program> program = soloProgram();
    program->chat().show();
    QSignalSpy closed(&program->chat(), &Tchat::closed);

    QTest::mouseClick(child<QPushButton>(program->download(), "Button2"), Qt::LeftButton);

    QCOMPARE(closed.count(), 1);
    QVERIFY(messages(program->download()).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(readFile(lobby + ".started"), QByteArray("0\n"), slowTimeoutMs);
}

void TestDownload::playWithOthersWithoutLobby()
{
    qputenv("HOME", m_dir->path().toLocal8Bit());
    const std::unique_ptr<Program> program = soloProgram();
    program->chat().show();
    QTRY_VERIFY(program->download().isVisible()); // a solo start offers it after the first paint
    program->download().setShellOpener(&m_opener);
    QSignalSpy closed(&program->chat(), &Tchat::closed);

    QTest::mouseClick(child<QPushButton>(program->download(), "Button2"), Qt::LeftButton);

    // The game's own way to play with others is offered in the lobby's place.
    QTRY_VERIFY(program->playWithOthers().isVisible());
    QVERIFY(m_opener.programs.isEmpty());
    QCOMPARE(closed.count(), 0);
    QVERIFY(program->chat().isVisible());
    QVERIFY(!program->download().isVisible());
}

// A lobby that is there but cannot be started leaves the game open.
void TestDownload::playWithOthersThatCannotStart()
{
    auto download = window();
    const QString lobby = m_dir->filePath(QStringLiteral("OrskelLobby"));
    writeFile(lobby, {});
    download->setLobbyPath(lobby);
    m_opener.succeed = false;
    QSignalSpy closing(download.get(), &Tdownload::closeGameRequested);

    QTest::mouseClick(child<QPushButton>(*download, "Button2"), Qt::LeftButton);

    QCOMPARE(m_opener.programs.size(), 1);
    QCOMPARE(m_opener.programs.first().first, lobby);
    QVERIFY(m_opener.programs.first().second.isEmpty());
    QCOMPARE(messages(*download), QStringList{QStringLiteral("An Error has Occurred.")});
    QCOMPARE(closing.count(), 0);
}

void TestDownload::playSoloClosesTheWindow()
{
    auto download = window();
    QTest::mouseClick(child<QPushButton>(*download, "Button1"), Qt::LeftButton);
    QVERIFY(!download->isVisible());

    // "Play Solo Game" is the default button: Enter closes the window.
    download->showDownload();
    QVERIFY(download->isVisible());
    QPushButton* get = child<QPushButton>(*download, "getbutton");
    get->setFocus();
    QTest::keyClick(get, Qt::Key_Return);
    QVERIFY(!download->isVisible());
    QCOMPARE(m_http.requests, 0);
}

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
