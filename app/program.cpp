#include "app/program.h"

#include "client/chatpanel.h"
#include "client/firstpaint.h"
#include "client/phrasebuttons.h"
#include "client/pictures.h"
#include "client/playingsurface.h"
#include "net/table.h"
#include "platform/placement.h"

Program::Program(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds,
                 std::optional<HostSettings> hostSettings)
    : m_errors(errors ? errors : &m_errorBox)
{
    m_chat = std::make_unique<Tchat>(std::move(options), m_errors, sounds ? sounds : &m_sounds);
    Tchat* chat = m_chat.get();
    // Sound is not needed to show the table: it starts once the table is painted.
    if (!sounds)
        m_sounds.loadAfterFirstPaint(chat);
    m_errorBox.setParentWindow(chat);
    // Beside the settings file, wherever that is.
    m_tally = std::make_unique<Ttallylist>(chat->tallyPath());
    m_tally->setMainWindow(chat);
    QObject::connect(m_tally.get(), &Ttallylist::notice, chat, [chat](const QString& text) {
        chat->addlinetochat(0, text, chat->systemColour());
    });
    // Written when the window closes as well as at the end, in case the end never comes.
    QObject::connect(chat, &Tchat::closed, m_tally.get(), &Ttallylist::save);
    const TableMenus* items = &chat->menus();
    QObject::connect(items, &TableMenus::viewTallyRequested, m_tally.get(), &Ttallylist::showTally);
    m_tally->setSeatNames([chat] { return chat->state().otherPlayers(); });
    QObject::connect(chat, &Tchat::gameCounted, m_tally.get(), &Ttallylist::addgame);

    m_tile = pictures::render(QSize(pictures::tileSize, pictures::tileSize),
                              chat->devicePixelRatioF(), pictures::paintBackgroundTile);
    chat->setGameStart([this] { return &gamestart(); });

    // The host reads the hosting copy's menu choices each time it arms a timer.
    const QPointer<Tchat> menus(chat);
    m_hostSettings.botSpeedMs = [menus] {
        return menus ? menus->options().botSpeedMs : table::defaultBotSpeedMs;
    };
    m_hostSettings.secondsBetweenRounds = [menus] {
        return menus ? menus->options().secondsBetweenRounds : table::defaultSecondsBetweenRounds;
    };
    if (hostSettings)
        m_hostSettings = *hostSettings;
    m_server = std::make_unique<TServer>(m_hostSettings, m_errors);
    TServer* server = m_server.get();
    chat->setHosting([server](quint16 port) -> std::optional<quint16> {
        if (!server->startListening(port))
            return std::nullopt;
        return server->serverPort();
    });
    chat->setOthersAtTable([server] {
        // Seat 1 is the hosting player's own window.
        for (int seat = 2; seat <= table::maxSeats; ++seat) {
            if (server->player(seat).connected)
                return true;
        }
        return false;
    });

    // Offered once the table is painted: the table comes up first.
    QObject::connect(chat, &Tchat::soloStarted, chat, [this, chat] {
        afterFirstPaint(chat, [this] { download().showDownload(); });
    });
    QObject::connect(items, &TableMenus::helpRequested, chat, [this] { help().showHelp(); });
    QObject::connect(items, &TableMenus::playWithOthersClicked, chat,
                     [this] { playWithOthers().showDialog(); });
    QObject::connect(items, &TableMenus::aboutRequested, chat, [this] { about().showAbout(); });
    QObject::connect(&chat->surface(), &PlayingSurface::logoClicked, chat,
                     [this] { about().label_urlClick(); });
    QObject::connect(items, &TableMenus::phraseListRequested, chat,
                     [this] { phrases().showPhrases(); });
    QObject::connect(items, &TableMenus::spyListRequested, chat, [this] {
        spylist().show();
        spylist().raise();
    });
    QObject::connect(chat, &Tchat::hostModeStarted, chat, [this] {
        m_hosting = true;
        if (m_spylist)
            m_spylist->setKickEnabled(true);
    });
}

Tgamestart& Program::gamestart()
{
    if (!m_gamestart) {
        Tchat* chat = m_chat.get();
        m_gamestart = new Tgamestart(chat);
        m_gamestart->setBackgroundTile(m_tile);
        m_gamestart->setSendFunction([chat](const QByteArray& wire) { chat->send(wire); });
    }
    return *m_gamestart;
}

Tphrases& Program::phrases()
{
    if (!m_phrases) {
        Tchat* chat = m_chat.get();
        m_phrases = new Tphrases(chat);
        m_phrases->setBackgroundTile(m_tile);
        m_phrases->setPhraseButtons(chat->chatPanel().phraseButtons());
        m_phrases->setSettingsPath(chat->iniPath());
    }
    return *m_phrases;
}

Tspylist& Program::spylist()
{
    if (!m_spylist) {
        Tchat* chat = m_chat.get();
        m_spylist = new Tspylist(chat);
        m_spylist->setBackgroundTile(m_tile);
        m_spylist->setItems(chat->spylistItems());
        m_spylist->setKickFunction([chat](int seat) { chat->kicking(seat); });
        m_spylist->setKickEnabled(m_hosting);
    }
    return *m_spylist;
}

Tabout& Program::about()
{
    if (!m_about) {
        m_about = std::make_unique<Tabout>();
        m_about->setMainWindow(m_chat.get());
        m_about->setBackgroundTile(m_tile);
    }
    return *m_about;
}

Tdownload& Program::download()
{
    if (!m_download) {
        m_download = std::make_unique<Tdownload>();
        // The installer or the lobby has been started: the game ends as by "Exit".
        QObject::connect(m_download.get(), &Tdownload::closeGameRequested, m_chat.get(),
                         &QWidget::close);
        // Its offer does what the menu's "Play with Others" does.
        QObject::connect(m_download.get(), &Tdownload::playWithOthersRequested, &m_chat->menus(),
                         &TableMenus::playWithOthersClicked);
    }
    return *m_download;
}

Thelp& Program::help()
{
    if (!m_help) {
        m_help = std::make_unique<Thelp>();
        m_help->setMainWindow(m_chat.get());
        m_help->setBackgroundTile(m_tile);
        QObject::connect(m_help.get(), &Thelp::aboutRequested, m_chat.get(),
                         [this] { about().showAbout(); });
    }
    return *m_help;
}

Tplaywithothers& Program::playWithOthers()
{
    if (!m_playWithOthers) {
        m_playWithOthers = new Tplaywithothers(m_chat->iniPath(), m_chat.get());
        QObject::connect(m_playWithOthers, &Tplaywithothers::playRequested, m_chat.get(),
                         [this](const QStringList& arguments) {
                             if (m_startWithOthers)
                                 m_startWithOthers(arguments);
                         });
    }
    return *m_playWithOthers;
}

Program::~Program()
{
    // The window goes first so that its connection closes before the host does; the
    // dialogs it owns go with it.
    m_chat.reset();
    m_server.reset();
}
