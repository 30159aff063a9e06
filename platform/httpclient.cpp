#include "platform/httpclient.h"

#include "platform/logging.h"

#include <QEventLoop>
#include <QIODevice>
#include <QSocketNotifier>

#include <climits>
#include <type_traits>

#include <curl/curl.h>
#include <dlfcn.h>

namespace {

constexpr long connectSeconds = 30;
constexpr long maxRedirects = 5;

// libcurl and the many libraries under it are loaded when the first transfer starts: a
// table that never downloads does not carry them, and its window comes up sooner.
struct Curl {
    decltype(&::curl_global_init) global_init;
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_strerror) easy_strerror;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_multi_init) multi_init;
    decltype(&::curl_multi_setopt) multi_setopt;
    decltype(&::curl_multi_add_handle) multi_add_handle;
    decltype(&::curl_multi_remove_handle) multi_remove_handle;
    decltype(&::curl_multi_socket_action) multi_socket_action;
    decltype(&::curl_multi_info_read) multi_info_read;
    decltype(&::curl_multi_cleanup) multi_cleanup;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
};

// The loaded library, or nullptr when it is missing or cannot be set up.
const Curl* loadCurl()
{
    static const Curl* loaded = []() -> const Curl* {
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            qCWarning(lcDownload) << "libcurl could not be loaded:" << dlerror();
            return nullptr;
        }
        static Curl c{};
        bool all = true;
        const auto bind = [&](auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            all = all && function;
        };
        bind(c.global_init, "curl_global_init");
        bind(c.easy_init, "curl_easy_init");
        bind(c.easy_setopt, "curl_easy_setopt");
        bind(c.easy_getinfo, "curl_easy_getinfo");
        bind(c.easy_strerror, "curl_easy_strerror");
        bind(c.easy_cleanup, "curl_easy_cleanup");
        bind(c.multi_init, "curl_multi_init");
        bind(c.multi_setopt, "curl_multi_setopt");
        bind(c.multi_add_handle, "curl_multi_add_handle");
        bind(c.multi_remove_handle, "curl_multi_remove_handle");
        bind(c.multi_socket_action, "curl_multi_socket_action");
        bind(c.multi_info_read, "curl_multi_info_read");
        bind(c.multi_cleanup, "curl_multi_cleanup");
        bind(c.slist_append, "curl_slist_append");
        bind(c.slist_free_all, "curl_slist_free_all");
        if (!all || c.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            qCWarning(lcDownload) << "libcurl could not be set up";
            return nullptr;
        }
        return &c;
    }();
    return loaded;
}

// Only after loadCurl() succeeded: every handle comes from it.
const Curl& curl()
{
    return *loadCurl();
}

bool isSuccess(long status)
{
    return status >= 200 && status <= 299;
}

} // namespace

struct HttpClient::Handles {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    CURLcode result = CURLE_OK;
    char error[CURL_ERROR_SIZE] = {};

    static int socketCallback(CURL* easy, curl_socket_t socket, int what, void* self,
                              void* socketData);
    static int timerCallback(CURLM* multi, long timeoutMs, void* self);
    static size_t headerCallback(char* data, size_t size, size_t count, void* self);
    static size_t writeCallback(char* data, size_t size, size_t count, void* self);
};

HttpClient::HttpClient(QObject* parent) : QObject(parent), m_curl(std::make_unique<Handles>())
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HttpClient::timeout);
}

HttpClient::~HttpClient()
{
    abort();
    if (m_curl->easy || m_curl->multi)
        finish();
}

HttpClient::Result HttpClient::get(QIODevice* body)
{
    if (m_loop || !body) {
        Result refused;
        refused.reason = QStringLiteral("a transfer is already running or has no destination");
        return refused;
    }
    m_body = body;
    m_done = false;
    m_aborted = false;
    m_curl->result = CURLE_OK;
    m_curl->error[0] = '\0';
    m_refusal.clear();
    m_received = 0;
    m_contentLength = -1;
    m_chunked = false;
    m_inHead = false;

    if (!loadCurl() || !(m_curl->multi = curl().multi_init()) ||
        !(m_curl->easy = curl().easy_init()) || !configure()) {
        m_refusal = QStringLiteral("the HTTP client could not be set up");
        m_done = true;
        return finish();
    }
    curl().multi_setopt(m_curl->multi, CURLMOPT_SOCKETFUNCTION, &Handles::socketCallback);
    curl().multi_setopt(m_curl->multi, CURLMOPT_SOCKETDATA, this);
    curl().multi_setopt(m_curl->multi, CURLMOPT_TIMERFUNCTION, &Handles::timerCallback);
    curl().multi_setopt(m_curl->multi, CURLMOPT_TIMERDATA, this);
    qCDebug(lcDownload) << "GET" << m_url;
    if (curl().multi_add_handle(m_curl->multi, m_curl->easy) != CURLM_OK) {
        m_refusal = QStringLiteral("the transfer could not be started");
        m_done = true;
        return finish();
    }

    QEventLoop loop;
    m_loop = &loop;
    if (!m_done)
        loop.exec();
    m_loop = nullptr;
    return finish();
}

void HttpClient::abort()
{
    if (!m_loop)
        return;
    m_aborted = true;
    m_loop->quit();
}

bool HttpClient::configure()
{
    const bool https = m_url.scheme() == QLatin1String("https");
    m_curl->headers = curl().slist_append(nullptr, QByteArray("Accept: " + m_accept).constData());
    const QByteArray address = m_url.toEncoded();
    bool ok = m_curl->headers != nullptr;
    auto set = [&ok](CURLcode result) { ok = ok && result == CURLE_OK; };
    set(curl().easy_setopt(m_curl->easy, CURLOPT_URL, address.constData()));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0)));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_USERAGENT, m_userAgent.constData()));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_HTTPHEADER, m_curl->headers));
    // An empty proxy also overrides http_proxy and the like from the environment.
    set(curl().easy_setopt(m_curl->easy, CURLOPT_PROXY, ""));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_PROTOCOLS_STR, "http,https"));
    // A redirect may never take an https download down to plain http.
    set(curl().easy_setopt(m_curl->easy, CURLOPT_REDIR_PROTOCOLS_STR,
                           https ? "https" : "http,https"));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_FOLLOWLOCATION, 1L));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_MAXREDIRS, maxRedirects));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_NOSIGNAL, 1L));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_CONNECTTIMEOUT, connectSeconds));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_LOW_SPEED_LIMIT, 1L));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_LOW_SPEED_TIME, long(stallSeconds)));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(maxBody)));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_ERRORBUFFER, m_curl->error));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_HEADERFUNCTION, &Handles::headerCallback));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_HEADERDATA, this));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_WRITEFUNCTION, &Handles::writeCallback));
    set(curl().easy_setopt(m_curl->easy, CURLOPT_WRITEDATA, this));
    return ok;
}

int HttpClient::Handles::socketCallback(CURL*, curl_socket_t socket, int what, void* self, void*)
{
    auto* client = static_cast<HttpClient*>(self);
    if (what == CURL_POLL_REMOVE)
        client->dropWatch(socket);
    else
        client->watchSocket(socket, what);
    return 0;
}

int HttpClient::Handles::timerCallback(CURLM*, long timeoutMs, void* self)
{
    auto* client = static_cast<HttpClient*>(self);
    // curl must not be re-entered from here, so even a zero timeout goes through the loop.
    if (timeoutMs < 0)
        client->m_timer.stop();
    else
        client->m_timer.start(int(qMin<long>(timeoutMs, INT_MAX)));
    return 0;
}

void HttpClient::watchSocket(qintptr socket, int what)
{
    Watch& watch = m_watches[socket];
    if (!watch.read) {
        watch.read = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
        watch.write = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
        connect(watch.read.get(), &QSocketNotifier::activated, this,
                [this, socket] { socketReady(socket, CURL_CSELECT_IN); });
        connect(watch.write.get(), &QSocketNotifier::activated, this,
                [this, socket] { socketReady(socket, CURL_CSELECT_OUT); });
    }
    watch.read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    watch.write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void HttpClient::dropWatch(qintptr socket)
{
    const auto found = m_watches.find(socket);
    if (found == m_watches.end())
        return;
    // Possibly called from this very notifier's signal: disable now, delete later. A
    // disabled notifier also leaves the descriptor free for curl's next socket.
    Watch& watch = found->second;
    for (QSocketNotifier* notifier : {watch.read.release(), watch.write.release()}) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_watches.erase(found);
}

void HttpClient::socketReady(qintptr socket, int direction)
{
    if (!m_curl->multi || m_done)
        return;
    int running = 0;
    curl().multi_socket_action(m_curl->multi, curl_socket_t(socket), direction, &running);
    checkDone();
}

void HttpClient::timeout()
{
    if (!m_curl->multi || m_done)
        return;
    int running = 0;
    curl().multi_socket_action(m_curl->multi, CURL_SOCKET_TIMEOUT, 0, &running);
    checkDone();
}

void HttpClient::checkDone()
{
    int left = 0;
    while (CURLMsg* message = curl().multi_info_read(m_curl->multi, &left)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != m_curl->easy)
            continue;
        m_done = true;
        m_curl->result = message->data.result;
        if (m_loop)
            m_loop->quit();
    }
}

long HttpClient::responseCode() const
{
    long code = 0;
    if (m_curl->easy)
        curl().easy_getinfo(m_curl->easy, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

size_t HttpClient::Handles::headerCallback(char* data, size_t size, size_t count, void* self)
{
    auto* client = static_cast<HttpClient*>(self);
    const size_t bytes = size * count;
    QByteArray line(data, qsizetype(bytes));
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty()) {
        if (client->m_inHead) {
            client->m_inHead = false;
            // Only a success has a body worth keeping; a redirect's head is followed by
            // the next response's.
            if (isSuccess(client->responseCode()))
                emit client->docBegin();
        }
        return bytes;
    }
    if (line.startsWith("HTTP/")) {
        client->m_inHead = true;
        client->m_contentLength = -1;
        client->m_chunked = false;
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool number = false;
            const qint64 length = value.toLongLong(&number);
            client->m_contentLength = number && length >= 0 ? length : -1;
        } else if (name == "transfer-encoding") {
            client->m_chunked = value.toLower().contains("chunked");
        }
    }
    emit client->headerData(line);
    return bytes;
}

size_t HttpClient::Handles::writeCallback(char* data, size_t size, size_t count, void* self)
{
    auto* client = static_cast<HttpClient*>(self);
    const size_t bytes = size * count;
    if (client->m_aborted)
        return CURL_WRITEFUNC_ERROR;
    // An error page is not the file asked for: none of it goes to the destination.
    if (!isSuccess(client->responseCode()))
        return CURL_WRITEFUNC_ERROR;
    if (client->m_received + qint64(bytes) > maxBody) {
        client->m_refusal = QStringLiteral("the body is larger than %1 bytes").arg(maxBody);
        return CURL_WRITEFUNC_ERROR;
    }
    if (client->m_body->write(data, qint64(bytes)) != qint64(bytes)) {
        client->m_refusal =
            QStringLiteral("the body could not be written: %1").arg(client->m_body->errorString());
        return CURL_WRITEFUNC_ERROR;
    }
    client->m_received += qint64(bytes);
    emit client->docData(client->m_received);
    return bytes;
}

HttpClient::Result HttpClient::finish()
{
    Result result;
    result.status = responseCode();
    result.received = m_received;
    if (m_curl->multi && m_curl->easy)
        curl().multi_remove_handle(m_curl->multi, m_curl->easy);
    if (m_curl->easy)
        curl().easy_cleanup(m_curl->easy);
    if (m_curl->multi)
        curl().multi_cleanup(m_curl->multi);
    if (m_curl->headers)
        curl().slist_free_all(m_curl->headers);
    m_curl->easy = nullptr;
    m_curl->multi = nullptr;
    m_curl->headers = nullptr;
    // After the clean-up, which may still set the timer.
    m_timer.stop();
    while (!m_watches.empty())
        dropWatch(m_watches.begin()->first);
    m_body = nullptr;

    if (m_aborted || !m_done) {
        result.outcome = Outcome::Aborted;
        result.reason =
            m_aborted ? QStringLiteral("stopped") : QStringLiteral("the program is ending");
    } else if (result.status != 0 && !isSuccess(result.status)) {
        result.outcome = Outcome::HttpFailure;
        result.reason = QStringLiteral("status %1").arg(result.status);
    } else if (!m_refusal.isEmpty()) {
        result.reason = m_refusal;
    } else if (m_curl->result != CURLE_OK) {
        result.reason =
            QStringLiteral("%1 (%2)").arg(QString::fromUtf8(curl().easy_strerror(m_curl->result)),
                                          QString::fromUtf8(m_curl->error));
    } else if (result.status == 0) {
        result.reason = QStringLiteral("no response");
    } else if (m_chunked) {
        // curl has seen the closing chunk, or it would have reported an error.
        result.outcome = Outcome::Completed;
    } else if (m_contentLength < 0) {
        // Without a length, a connection cut mid-body looks just like the end of it.
        result.reason =
            QStringLiteral("no Content-Length: a whole body cannot be told from a cut one");
    } else if (m_received != m_contentLength) {
        result.reason = QStringLiteral("%1 of %2 body bytes").arg(m_received).arg(m_contentLength);
    } else {
        result.outcome = Outcome::Completed;
    }
    qCDebug(lcDownload) << "GET" << m_url << "ended after" << result.received << "body bytes:"
                        << (result.reason.isEmpty() ? QStringLiteral("whole") : result.reason);
    return result;
}
