#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <map>
#include <memory>

class QEventLoop;
class QIODevice;
class QSocketNotifier;

// A GET over libcurl's multi interface, driven by socket notifiers and a timer of the Qt
// event loop: get() waits in a local event loop, so windows keep working and abort() can
// be called from any of their events. Always HTTP/1.0, never through a proxy.
class HttpClient : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Completed,      // a 2xx response whose body arrived whole
        HttpFailure,    // the server answered with a status outside 2xx
        Aborted,        // abort() was called, or the program is ending
        TransferFailed, // no answer, a broken connection, a short or unmeasurable body
    };
    struct Result {
        Outcome outcome = Outcome::TransferFailed;
        long status = 0;     // the last status line's code; 0 without one
        qint64 received = 0; // body bytes handed to the destination
        QString reason;      // for the log
    };

    // Refused beyond this many body bytes, so a server cannot fill the disk.
    static constexpr qint64 maxBody = qint64(1) << 30;
    // A transfer that moves no byte for this long is given up.
    static constexpr int stallSeconds = 60;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    void setUrl(const QUrl& url) { m_url = url; }
    QUrl url() const { return m_url; }
    void setUserAgent(const QByteArray& agent) { m_userAgent = agent; }
    void setAccept(const QByteArray& accept) { m_accept = accept; }

    // Fetches the address into `body` and returns when the transfer has ended.
    Result get(QIODevice* body);
    // Ends a running get() as Aborted; does nothing otherwise.
    void abort();
    bool isRunning() const { return m_loop != nullptr; }

signals:
    // One line of a response head, status line included, without its line end.
    void headerData(const QByteArray& line);
    // The head of a 2xx response has ended; its body follows.
    void docBegin();
    // A piece of the body was written; `received` counts the body so far.
    void docData(qint64 received);

private:
    // libcurl's handles of a transfer and its callbacks (httpclient.cpp): includers do
    // not see curl.
    struct Handles;
    struct Watch {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    bool configure();
    void watchSocket(qintptr socket, int what);
    void dropWatch(qintptr socket);
    void socketReady(qintptr socket, int direction);
    void timeout();
    void checkDone();
    long responseCode() const;
    Result finish();

    QUrl m_url;
    QByteArray m_userAgent;
    QByteArray m_accept;

    std::unique_ptr<Handles> m_curl;
    QTimer m_timer;
    std::map<qintptr, Watch> m_watches;
    QEventLoop* m_loop = nullptr;
    QIODevice* m_body = nullptr;

    bool m_done = false;
    bool m_aborted = false;
    QString m_refusal; // why our own callbacks stopped the transfer
    qint64 m_received = 0;
    qint64 m_contentLength = -1;
    bool m_chunked = false;
    bool m_inHead = false;
};
