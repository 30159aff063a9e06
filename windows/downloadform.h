#pragma once

#include "platform/httpclient.h"

#include <QDialog>
#include <QString>
#include <QUrl>

#include <memory>

class ShellOpener;

namespace Ui {
class Tdownload;
}

// Offered at a solo start: download and run the lobby's installer, open the installed
// lobby, or go on with the solo game. Closing the game goes through the main window.
class Tdownload : public QDialog {
    Q_OBJECT
public:
    // The lobby installer. Fetched over TLS with the certificate checked, since the file is
    // run afterwards: over plain HTTP anyone on the path could swap it.
    static constexpr char defaultAddress[] =
        "https://download.orskel.example/lobby/OrskelLobbySetup.run";
    // Where the lobby's installer puts the lobby, under the user's home: the installer runs
    // silently as the user, without the rights to install anywhere outside it.
    static constexpr char lobbyHomePath[] = ".local/share/Orskel/OrskelLobby";
    static constexpr char installerParameters[] = "/SP- /silent /noicons";

    explicit Tdownload(QWidget* parent = nullptr);
    ~Tdownload() override;

    void setAddress(const QUrl& address) { m_address = address; }
    QUrl address() const { return m_address; }
    // Empty: decided when a download starts (defaultDownloadDirectory()).
    void setDownloadDirectory(const QString& directory) { m_downloadDirectory = directory; }
    void setLobbyPath(const QString& path) { m_lobbyPath = path; }
    QString lobbyPath() const { return m_lobbyPath; }
    void setShellOpener(ShellOpener* opener);

    // The executable's folder where a file can be made there, else the user's data folder.
    static QString defaultDownloadDirectory();
    static QString defaultLobbyPath();

    // infolabel's tag: 1 while a download runs, 2 once it was stopped or failed.
    int outcomeTag() const;

public slots:
    // Shows the window centred on the desktop (solo start).
    void showDownload();

signals:
    // The game is to close as by the main window's "Exit".
    void closeGameRequested();
    // "Play with Others" without the lobby: the game's own way to play with others.
    void playWithOthersRequested();

private:
    void getbuttonClick();
    void abortbuttonClick();
    void HttpCli1HeaderData(const QByteArray& line);
    void HttpCli1DocBegin();
    void HttpCli1DocData(qint64 received);
    void Button1Click();
    void Button2Click();

    void setOutcomeTag(int tag);
    void showFailure(const QString& why);
    void showMessage(const QString& text);

    std::unique_ptr<Ui::Tdownload> m_ui;
    HttpClient HttpCli1;
    ShellOpener* m_opener;
    QUrl m_address;
    QString m_downloadDirectory;
    QString m_lobbyPath;
};
