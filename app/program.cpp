#include "app/program.h"

#include "client/phrasebuttons.h"
#include "client/pictures.h"
#include "net/table.h"

Program::Program(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds)
    : m_errors(errors ? errors : &m_errorBox)
{
    const std::optional<HostSettings> hostSettings = options.hostSettings;
    m_chat = std::make_unique<Tchat>(std::move(options), m_errors, sounds ? sounds : &m_wavePlayer);
    Tchat* chat = m_chat.get();
    m_errorBox.setParentWindow(chat);
    // Beside the settings file, wherever that is.
    m_tally = std::make_unique<Ttallylist>(chat->tallyPath());
    m_tally->setMainWindow(chat);
    QObject::connect(m_tally.get(), &Ttallylist::notice, chat, [chat](const QString& text) {
        chat->addlinetochat(0, text, chat->systemColour());
    });
    // Written when the window closes as well as at the end, in case the end never comes.
    QObject::connect(chat, &Tchat::closed, m_tally.get(), &Ttallylist::save);
    QObject::connect(chat, &Tchat::viewTallyRequested, m_tally.get(), &Ttallylist::showTally);
    m_tally->setSeatNames([chat] { return chat->loadchecklist(); });
    QObject::connect(chat, &Tchat::gameCounted, m_tally.get(), &Ttallylist::addgame);
    m_about = std::make_unique<Tabout>();
    m_about->setMainWindow(chat);
    m_download = std::make_unique<Tdownload>();

    const QPixmap tile = pictures::render(QSize(pictures::tileSize, pictures::tileSize),
                                          chat->devicePixelRatioF(), pictures::paintBackgroundTile);
    m_about->setBackgroundTile(tile);
    m_gamestart = new Tgamestart(chat);
    m_gamestart->setBackgroundTile(tile);
    m_gamestart->setSendFunction([chat](const QByteArray& wire) { chat->send(wire); });
    chat->setGameStart(m_gamestart);

    m_phrases = new Tphrases(chat);
    m_phrases->setBackgroundTile(tile);
    m_phrases->setPhraseButtons(chat->phraseButtons());
    m_phrases->setSettingsPath(chat->iniPath());

    // The host reads the hosting copy's menu choices each time it arms a timer.
    const QPointer<Tchat> menus(chat);
    m_hostSettings.botSpeedMs = [menus] {
        return menus ? menus->botSpeedMs() : table::defaultBotSpeedMs;
    };
    m_hostSettings.secondsBetweenRounds = [menus] {
        return menus ? menus->secondsBetweenRounds() : table::defaultSecondsBetweenRounds;
    };
    if (hostSettings)
        m_hostSettings = *hostSettings;
    m_server = std::make_unique<TServer>(m_hostSettings, m_errors);
    chat->setServer(m_server.get());

    m_spylist = new Tspylist(chat);
    m_spylist->setBackgroundTile(tile);
    m_spylist->setItems(chat->spylistItems());
    m_spylist->setKickFunction([chat](int seat) { chat->kicking(seat); });

    m_help = std::make_unique<Thelp>();
    m_help->setMainWindow(chat);
    m_help->setBackgroundTile(tile);

    QObject::connect(chat, &Tchat::soloStarted, m_download.get(), &Tdownload::showDownload);
    // The installer or the lobby has been started: the game ends as by "Exit".
    QObject::connect(m_download.get(), &Tdownload::closeGameRequested, chat, &QWidget::close);
    QObject::connect(m_help.get(), &Thelp::aboutRequested, m_about.get(), &Tabout::showAbout);
    QObject::connect(chat, &Tchat::helpRequested, m_help.get(), &Thelp::showHelp);
    QObject::connect(chat, &Tchat::aboutRequested, m_about.get(), &Tabout::showAbout);
    QObject::connect(chat, &Tchat::logoClicked, m_about.get(), &Tabout::label_urlClick);
    QObject::connect(chat, &Tchat::phraseListRequested, m_phrases, &Tphrases::showPhrases);
    Tspylist* spylist = m_spylist;
    QObject::connect(chat, &Tchat::spyListRequested, spylist, [spylist] {
        spylist->show();
        spylist->raise();
    });
    QObject::connect(chat, &Tchat::hostModeStarted, spylist,
                     [spylist] { spylist->setKickEnabled(true); });
}

Program::~Program()
{
    // The window goes first so that its connection closes before the host does; the
    // dialogs it owns go with it.
    m_chat.reset();
    m_server.reset();
}
