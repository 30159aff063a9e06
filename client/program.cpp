#include "client/program.h"

#include "client/settingslocation.h"

Program::Program(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds)
    : m_errors(errors ? errors : &m_errorBox)
{
    const std::optional<HostSettings> hostSettings = options.hostSettings;
    m_chat = std::make_unique<Tchat>(std::move(options), m_errors, sounds ? sounds : &m_wavePlayer);
    m_errorBox.setParentWindow(m_chat.get());
    m_tally = std::make_unique<Ttallylist>(SettingsLocation::forThisProgram().tallyPath());
    m_tally->setMainWindow(m_chat.get());
    Tchat* chat = m_chat.get();
    QObject::connect(m_tally.get(), &Ttallylist::notice, chat, [chat](const QString& text) {
        chat->addlinetochat(0, text, chat->systemColour());
    });
    // Written when the window closes as well as at the end, in case the end never comes.
    QObject::connect(chat, &Tchat::closed, m_tally.get(), &Ttallylist::save);
    m_about = std::make_unique<Tabout>();
    m_about->setMainWindow(m_chat.get());
    m_download = std::make_unique<Tdownload>();
    m_server = std::make_unique<TServer>(hostSettings.value_or(HostSettings{}), m_errors);
    m_chat->setServer(m_server.get());
    m_help = std::make_unique<Thelp>();
    m_help->setMainWindow(m_chat.get());
    m_gamestart = std::make_unique<Tgamestart>(m_chat.get());
    m_gamestart->setSendFunction([chat = m_chat.get()](const QByteArray& wire) { chat->send(wire); });

    QObject::connect(m_chat.get(), &Tchat::soloStarted, m_download.get(), &Tdownload::showDownload);
    // The installer or the lobby has been started: the game ends as by "Exit".
    QObject::connect(m_download.get(), &Tdownload::closeGameRequested, m_chat.get(),
                     &QWidget::close);
    QObject::connect(m_help.get(), &Thelp::aboutRequested, m_about.get(), &Tabout::showAbout);
    QObject::connect(m_chat.get(), &Tchat::startGameRequested, m_gamestart.get(), [this] {
        m_gamestart->setPlayerName(m_chat->playerName());
        m_gamestart->show();
    });
}

Program::~Program()
{
    // The dialog is the window's child: it goes before the window.
    m_gamestart.reset();
    // The window goes first so that its connection closes before the host does.
    m_chat.reset();
    m_server.reset();
}
