#include "windows/downloadform.h"

#include "platform/jpegdecoder.h"
#include "platform/logging.h"
#include "platform/placement.h"
#include "platform/settingslocation.h"
#include "platform/shellopen.h"
#include "ui_downloadform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>

// The resources live in a static library: nothing else would pull them into the program.
static void loadResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(quorvel);
        return true;
    }();
    Q_UNUSED(loaded);
}

namespace {
const QString aborted = QStringLiteral("Download Aborted");
const QString picture = QStringLiteral(":/images/lobby.jpg");
} // namespace

Tdownload::Tdownload(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::Tdownload>()), m_opener(&ShellOpener::system()),
      m_address(QUrl(QString::fromLatin1(defaultAddress))), m_lobbyPath(defaultLobbyPath())
{
    loadResources();
    m_ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(724, 500);
    HttpCli1.setObjectName(QStringLiteral("HttpCli1"));
    HttpCli1.setParent(this);
    HttpCli1.setUserAgent("Mozilla/3.0 (compatible)");
    HttpCli1.setAccept("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    setOutcomeTag(0);

    QFile jpeg(picture);
    QString why;
    const QImage image =
        jpeg.open(QIODevice::ReadOnly) ? jpeg::decode(jpeg.readAll(), &why) : QImage();
    if (image.isNull())
        qCWarning(lcWindows) << "the download picture could not be shown:" << why;
    else
        m_ui->image_lobby->setPixmap(QPixmap::fromImage(image));

    connect(m_ui->getbutton, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(m_ui->abortbutton, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
    connect(m_ui->Button1, &QPushButton::clicked, this, &Tdownload::Button1Click);
    connect(m_ui->Button2, &QPushButton::clicked, this, &Tdownload::Button2Click);
    connect(&HttpCli1, &HttpClient::headerData, this, &Tdownload::HttpCli1HeaderData);
    connect(&HttpCli1, &HttpClient::docBegin, this, &Tdownload::HttpCli1DocBegin);
    connect(&HttpCli1, &HttpClient::docData, this, &Tdownload::HttpCli1DocData);
}

// A member that is also a child (so tests find it by name) leaves its parent in its own
// destructor, before QObject's would delete it.
Tdownload::~Tdownload() = default;

void Tdownload::setShellOpener(ShellOpener* opener)
{
    m_opener = opener ? opener : &ShellOpener::system();
}

QString Tdownload::defaultDownloadDirectory()
{
    const QString beside = SettingsLocation::programFolder();
    if (SettingsLocation::canCreateFileIn(beside))
        return beside;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return data;
}

QString Tdownload::defaultLobbyPath()
{
    return QDir::home().filePath(QString::fromLatin1(lobbyHomePath));
}

int Tdownload::outcomeTag() const
{
    return m_ui->infolabel->property("tag").toInt();
}

void Tdownload::setOutcomeTag(int tag)
{
    m_ui->infolabel->setProperty("tag", tag);
}

void Tdownload::showDownload()
{
    if (!isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            centreWindowIn(this, screen->availableGeometry());
    }
    showInFront(this);
}

void Tdownload::getbuttonClick()
{
    if (HttpCli1.isRunning())
        return;
    setOutcomeTag(1);
    const QString name = m_address.fileName();
    m_ui->infolabel2->setText(name);
    const QString directory =
        m_downloadDirectory.isEmpty() ? defaultDownloadDirectory() : m_downloadDirectory;
    const QString path = QDir(directory).filePath(name);
    QFile file(path);
    if (name.isEmpty() || name == QLatin1String("..") || name == QLatin1String(".") ||
        !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        showFailure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return;
    }

    m_ui->getbutton->setEnabled(false);
    m_ui->abortbutton->setEnabled(true);
    m_ui->infolabel->setText(QStringLiteral("Loading"));

    HttpCli1.setUrl(m_address);
    const HttpClient::Result result = HttpCli1.get(&file);
    bool whole = result.outcome == HttpClient::Outcome::Completed;
    if (whole && (!file.flush() || file.error() != QFileDevice::NoError)) {
        qCWarning(lcDownload) << "could not finish" << path << file.errorString();
        whole = false;
    }
    const qint64 size = file.size();

    m_ui->getbutton->setEnabled(true);
    m_ui->abortbutton->setEnabled(false);
    file.close();

    if (whole) {
        m_ui->infolabel->setText(QStringLiteral("Received %1 bytes").arg(size));
    } else if (result.outcome == HttpClient::Outcome::HttpFailure) {
        qCWarning(lcDownload) << "download refused:" << result.reason;
        m_ui->infolabel->setText(aborted);
        setOutcomeTag(2);
    } else if (outcomeTag() != 2) {
        // Not stopped by the user: a broken or refused transfer counts as an abort.
        showFailure(result.reason);
    }
    if (outcomeTag() == 2)
        return;

    m_ui->infolabel3->setText(QStringLiteral("Installing"));
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    const QStringList parameters =
        QString::fromLatin1(installerParameters).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!m_opener->startProgram(path, parameters)) {
        showMessage(QStringLiteral("An Error has Occurred."));
        return;
    }
    qCInfo(lcDownload) << "installer started; the game closes";
    emit closeGameRequested();
}

void Tdownload::showFailure(const QString& why)
{
    qCWarning(lcDownload) << "download aborted:" << why;
    setOutcomeTag(2);
    m_ui->infolabel->setText(aborted);
    m_ui->infolabel3->setText(aborted);
}

void Tdownload::abortbuttonClick()
{
    HttpCli1.abort();
    m_ui->infolabel->setText(QStringLiteral("Download has been aborted."));
    setOutcomeTag(2);
    m_ui->infolabel3->setText(aborted);
}

void Tdownload::HttpCli1HeaderData(const QByteArray&)
{
    m_ui->infolabel->setText(m_ui->infolabel->text() + QLatin1Char('.'));
}

void Tdownload::HttpCli1DocBegin()
{
    m_ui->infolabel3->setText(QStringLiteral("Downloading: ") + m_ui->infolabel2->text());
}

void Tdownload::HttpCli1DocData(qint64 received)
{
    m_ui->infolabel->setText(QStringLiteral("%1 bytes").arg(received));
}

void Tdownload::Button1Click()
{
    close();
}

void Tdownload::Button2Click()
{
    const QFileInfo lobby(m_lobbyPath);
    if (!lobby.isFile()) {
        // Out of the way of the dialog, which stays above the table.
        close();
        emit playWithOthersRequested();
        return;
    }
    // A lobby that cannot be started must not take the game down with it.
    if (!m_opener->startProgram(lobby.absoluteFilePath(), {})) {
        showMessage(QStringLiteral("An Error has Occurred."));
        return;
    }
    qCInfo(lcDownload) << "lobby started; the game closes";
    emit closeGameRequested();
}

void Tdownload::showMessage(const QString& text)
{
    // Not modal: the window stays on top and the game behind it keeps running.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Quorvel"), text,
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("message"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
