#include "client/chatform.h"
#include "net/table.h"

#include "client/ballboard.h"
#include "client/bigball.h"
#include "client/cardgrid.h"
#include "client/chatentry.h"
#include "client/chattersounds.h"
#include "client/chatview.h"
#include "client/chosenpanel.h"
#include "client/colournames.h"
#include "client/detailspanel.h"
#include "client/gamepictures.h"
#include "client/gamestartform.h"
#include "client/indexedpicture.h"
#include "client/logo.h"
#include "client/phrasebuttons.h"
#include "client/picturebutton.h"
#include "client/scoresheet.h"
#include "client/seatrows.h"
#include "client/settings.h"
#include "client/smiliesbutton.h"
#include "client/soundplayer.h"
#include "client/tablebackground.h"
#include "client/winnerbanner.h"
#include "host/tserver.h"
#include "net/errorreporter.h"
#include "net/fields.h"
#include "net/logging.h"
#include "net/messages.h"
#include "platform/settingslocation.h"
#include "platform/windowbounds.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFrame>
#include <QHostAddress>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringListModel>

namespace {
constexpr int boardPanelWidth = 764;
constexpr int boardPanelHeight = 526;
const QColor darkPurple(64, 0, 64);
const QColor pureRed(255, 0, 0);
constexpr std::array<int, 4> textSizes{8, 10, 12, 14};

QFont arial(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QAction* checkItem(QMenu* menu, const QString& caption, const QString& name, bool checked)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    item->setChecked(checked);
    return item;
}
} // namespace

const QString Tchat::waiting = QStringLiteral("<Waiting>");

QString Tchat::botname(int seat)
{
    static const std::array<const char*, playingseats + 1> names{
        "", "", "Klot", "Klick", "Kling", "Klick", "Krazy", "Kooky"};
    return seat >= 1 && seat <= playingseats ? QString::fromLatin1(names[std::size_t(seat)])
                                             : QString();
}

Tchat::Tchat(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds, QWidget* parent)
    : QMainWindow(parent), m_options(std::move(options)), m_errors(errors), m_sounds(sounds),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }), m_dispatch(errors),
      receivedlist(1, [this](const QueuedMessage& m) { Timer1Timer(m); }),
      m_link(&sock, 0, &receivedlist)
{
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Quorvel by Orskel Software"));
    m_spylist = new QStringListModel(this);
    const SettingsLocation location =
        m_options.settingsFolder.isEmpty()
            ? SettingsLocation::forThisProgram()
            : SettingsLocation(m_options.settingsFolder, m_options.settingsFolder);
    m_iniPath = location.iniPath();
    m_tallyPath = location.tallyPath();
    buildWindow();
    buildMenus();
    buildDispatchTable();
    clearall();

    connect(&sock, &QTcpSocket::connected, this, [this] { m_everConnected = true; });
    connect(&sock, &QTcpSocket::errorOccurred, this, &Tchat::sockInfo);
    connect(&sock, &QTcpSocket::disconnected, this, &Tchat::connectionClosed, Qt::QueuedConnection);

    setGeometry(defaultLeft, defaultTop, defaultWidth, defaultHeight);
}

Tchat::~Tchat()
{
    sock.disconnect(this);
}

void Tchat::buildWindow()
{
    auto* client = new TableBackground(this);
    client->setObjectName(QStringLiteral("tablebackground"));
    client->setMinimumSize(boardPanelWidth + 4, boardPanelHeight + 4);
    setCentralWidget(client);

    panel_board = new QWidget(client);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setGeometry(0, 0, boardPanelWidth, boardPanelHeight);

    m_rows = new SeatRows(panel_board);
    m_rows->setGeometry(0, 0, 192, 160);
    connect(m_rows, &SeatRows::nameContextMenu, this, [this](int seat, const QPoint& at) {
        label_playername1ContextPopup(seat, m_rows->name(seat), at);
    });

    m_cards = new CardGrid(panel_board);
    m_cards->move(335, 52);
    connect(m_cards, &CardGrid::cellClicked, this, &Tchat::label_roundnumClick);

    label_status = new QLabel(panel_board);
    label_status->setObjectName(QStringLiteral("label_status"));
    label_status->setGeometry(329, 294, 431, 17);
    label_status->setAlignment(Qt::AlignCenter);
    label_status->setTextFormat(Qt::PlainText);
    label_status->setFont(arial(13, true));
    setTextColour(label_status, darkPurple);
    label_status->setText(QStringLiteral("Welcome to Quorvel!"));

    label_playtoscore = new QLabel(panel_board);
    label_playtoscore->setObjectName(QStringLiteral("label_playtoscore"));
    label_playtoscore->setGeometry(605, 33, 155, 17);
    label_playtoscore->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_playtoscore->setTextFormat(Qt::PlainText);
    label_playtoscore->setFont(arial(13, true));
    setTextColour(label_playtoscore, darkPurple);
    label_playtoscore->setText(QStringLiteral("Play to Score: 0"));

    auto* chatPanel = new QFrame(panel_board);
    chatPanel->setObjectName(QStringLiteral("panel_chat"));
    chatPanel->setGeometry(356, 312, 405, 187);
    chatPanel->setStyleSheet(QStringLiteral("#panel_chat { border: 1px solid rgb(64, 0, 64); }"));
    mainchat = new ChatView(chatPanel);
    mainchat->setFrameShape(QFrame::NoFrame);
    mainchat->setGeometry(1, 1, 403, 185);
    connect(mainchat, &ChatView::linkActivated, this, &Tchat::mainchatJump);

    mychat = new ChatEntry(panel_board);
    mychat->setGeometry(356, 500, 376, 22);
    connect(mychat, &ChatEntry::enterPressed, this, &Tchat::sendit);

    button_smilies = new SmiliesButton(panel_board);
    button_smilies->move(734, 501);
    connect(button_smilies, &SmiliesButton::smileyChosen, this, &Tchat::N271Click);

    m_phrases = new PhraseButtons(panel_board);
    m_phrases->move(329, 312);
    connect(m_phrases, &PhraseButtons::phraseClicked, this, &Tchat::b_phrase1Click);
    connect(m_phrases, &PhraseButtons::chatterSoundChosen, this, &Tchat::wave4Click);

    buildPlayingSurface(panel_board);

    image_logo = new QLabel(panel_board);
    image_logo->setObjectName(QStringLiteral("image_logo"));
    image_logo->setGeometry(605, 2, 155, 30);
    image_logo->setScaledContents(true);
    image_logo->setPixmap(quorvelLogo(devicePixelRatioF()));
    image_logo->setCursor(Qt::PointingHandCursor);
    image_logo->installEventFilter(this);

    // Shown once, at the first connection of a new installation. It lies over the cards
    // but never takes their clicks: a click over it goes to what lies beneath and puts the
    // panel away.
    auto* help = new QFrame(panel_board);
    help->setObjectName(QStringLiteral("panel_help"));
    help->setGeometry(329, 52, 431, 241);
    help->setFrameShape(QFrame::Box);
    help->setLineWidth(2);
    help->setAttribute(Qt::WA_TransparentForMouseEvents);
    help->hide();
    panel_help = help;

    ColorDialog = new QColorDialog(this);
    ColorDialog->setObjectName(QStringLiteral("ColorDialog"));
    // The same dialog everywhere, and one that can be opened without blocking.
    ColorDialog->setOption(QColorDialog::DontUseNativeDialog);
    connect(ColorDialog, &QColorDialog::colorSelected, this, [this](const QColor& colour) {
        setChatColour(colour);
        saveinifile();
    });
}

void Tchat::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    StartGame1 = file->addAction(QStringLiteral("Start Game"));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    StartGame1->setEnabled(false);
    connect(StartGame1, &QAction::triggered, this, &Tchat::button_startClick);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    connect(exit, &QAction::triggered, this, &Tchat::Exit1Click);

    QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
    options->setObjectName(QStringLiteral("Options1"));
    m_optionsMenu = options;
    PlaySounds1 =
        checkItem(options, QStringLiteral("Play Sounds"), QStringLiteral("PlaySounds1"), true);
    connect(PlaySounds1, &QAction::triggered, this, &Tchat::PlaySounds1Click);
    PlayerPhraseSounds1 = checkItem(options, QStringLiteral("Player Phrase Sounds"),
                                    QStringLiteral("PlayerPhraseSounds1"), true);
    connect(PlayerPhraseSounds1, &QAction::triggered, this, &Tchat::PlayerPhraseSounds1Click);

    QMenu* turnSound = options->addMenu(QStringLiteral("Turn Sound"));
    TurnSound1 = turnSound->menuAction();
    TurnSound1->setObjectName(QStringLiteral("TurnSound1"));
    TurnSound1->setData(0);
    auto* turnGroup = new QActionGroup(this);
    for (const auto& [caption, name, tag] :
         {std::tuple{"Classic", "Classic1", 0}, std::tuple{"New", "New1", 1}}) {
        QAction* item =
            checkItem(turnSound, QString::fromLatin1(caption), QString::fromLatin1(name), tag == 0);
        item->setData(tag);
        turnGroup->addAction(item);
    }
    connect(turnGroup, &QActionGroup::triggered, this, &Tchat::TurnSoundClick);

    QMenu* botSpeed = options->addMenu(QStringLiteral("Bot Speed"));
    BotSpeed1 = botSpeed->menuAction();
    BotSpeed1->setObjectName(QStringLiteral("BotSpeed1"));
    BotSpeed1->setData(750);
    auto* speedGroup = new QActionGroup(this);
    for (const auto& [caption, name, tag] :
         {std::tuple{"Slow", "Slow1", 1500}, std::tuple{"Normal", "Normal1", 750},
          std::tuple{"Fast", "Fast1", 250}}) {
        QAction* item = checkItem(botSpeed, QString::fromLatin1(caption), QString::fromLatin1(name),
                                  tag == 750);
        item->setData(tag);
        speedGroup->addAction(item);
    }
    connect(speedGroup, &QActionGroup::triggered, this, &Tchat::BotSpeedClick);

    QMenu* delay = options->addMenu(QStringLiteral("Time Between Round Delay"));
    TimeBetweenRoundDelay1 = delay->menuAction();
    TimeBetweenRoundDelay1->setObjectName(QStringLiteral("TimeBetweenRoundDelay1"));
    TimeBetweenRoundDelay1->setData(15);
    auto* delayGroup = new QActionGroup(this);
    for (const auto& [caption, name, tag] :
         {std::tuple{"Short", "Short1", 10}, std::tuple{"Normal", "Normal2", 15},
          std::tuple{"Long", "Long1", 25}}) {
        QAction* item =
            checkItem(delay, QString::fromLatin1(caption), QString::fromLatin1(name), tag == 15);
        item->setData(tag);
        delayGroup->addAction(item);
    }
    connect(delayGroup, &QActionGroup::triggered, this, &Tchat::TimeDelayClick);

    options->addSeparator();
    QAction* textColour = options->addAction(QStringLiteral("Text Color"));
    textColour->setObjectName(QStringLiteral("TextColor1"));
    connect(textColour, &QAction::triggered, this, &Tchat::TextColor1Click);
    QMenu* textSize = options->addMenu(QStringLiteral("Text Size"));
    TextSize1 = textSize->menuAction();
    TextSize1->setObjectName(QStringLiteral("TextSize1"));
    auto* sizeGroup = new QActionGroup(this);
    // A size read from the settings that has no item checks none.
    sizeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int size : textSizes) {
        QAction* item =
            checkItem(textSize, QString::number(size), QStringLiteral("TextSize%1").arg(size),
                      size == ChatView::defaultTextSize);
        item->setData(size);
        sizeGroup->addAction(item);
    }
    connect(sizeGroup, &QActionGroup::triggered, this, &Tchat::TextSizeClick);

    // One item in the Options menu and in the chat view's menu.
    ScrollChatOff1 = checkItem(options, QStringLiteral("Scroll Chat Off"),
                               QStringLiteral("ScrollChatOff1"), false);
    ScrollChatOff1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(ScrollChatOff1, &QAction::triggered, this, &Tchat::ScrollChatOff1Click);
    ClearMainChat1 = options->addAction(QStringLiteral("Clear Main Chat"));
    ClearMainChat1->setObjectName(QStringLiteral("ClearMainChat1"));
    connect(ClearMainChat1, &QAction::triggered, this, &Tchat::ClearMainChat1Click);
    QAction* resetPlace = options->addAction(QStringLiteral("Reset Screen Location"));
    resetPlace->setObjectName(QStringLiteral("ResetScreenLocation1"));
    connect(resetPlace, &QAction::triggered, this, &Tchat::ResetScreenLocation1Click);
    options->addSeparator();
    JustWatch1 =
        checkItem(options, QStringLiteral("Just Watch"), QStringLiteral("JustWatch1"), false);
    connect(JustWatch1, &QAction::triggered, this, &Tchat::JustWatch1Click);

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("View1"));
    QAction* tally = view->addAction(QStringLiteral("View Tally"));
    tally->setObjectName(QStringLiteral("ViewTally1"));
    connect(tally, &QAction::triggered, this, &Tchat::viewTallyRequested);
    QAction* spies = view->addAction(QStringLiteral("Spy List"));
    spies->setObjectName(QStringLiteral("SpyList1"));
    connect(spies, &QAction::triggered, this, &Tchat::spyListRequested);
    QAction* phrases = view->addAction(QStringLiteral("Phrase List"));
    phrases->setObjectName(QStringLiteral("PhraseList1"));
    connect(phrases, &QAction::triggered, this, &Tchat::phraseListRequested);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* content = help->addAction(QStringLiteral("Content"));
    content->setObjectName(QStringLiteral("Content1"));
    content->setShortcut(QKeySequence(Qt::Key_F1));
    connect(content, &QAction::triggered, this, &Tchat::helpRequested);
    help->addSeparator();
    QAction* about = help->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, &Tchat::aboutRequested);

    QMenu* chatMenu = mainchat->popupMenu();
    chatMenu->addAction(ClearMainChat1);
    chatMenu->addSeparator();
    chatMenu->addAction(ScrollChatOff1);

    ChoosenBingoBalls1 = checkItem(view, QStringLiteral("Choosen Bingo Balls"),
                                   QStringLiteral("ChoosenBingoBalls1"), false);
    // The item's mark follows the panel, not the click.
    connect(ChoosenBingoBalls1, &QAction::triggered, this, [this] {
        ChoosenBingoBalls1->setChecked(!ChoosenBingoBalls1->isChecked());
        ChoosenBingoBalls1Click();
    });

    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    RemoveFromGame1 = popup_kick->addAction(QStringLiteral("Remove From Game"));
    RemoveFromGame1->setObjectName(QStringLiteral("RemoveFromGame1"));
    connect(RemoveFromGame1, &QAction::triggered, this, &Tchat::RemoveFromGame1Click);
    SettoJustWatch1 = popup_kick->addAction(QStringLiteral("Set to Just Watch"));
    SettoJustWatch1->setObjectName(QStringLiteral("SettoJustWatch1"));
    connect(SettoJustWatch1, &QAction::triggered, this, &Tchat::SettoJustWatch1Click);
    UnsetJustWatch1 = popup_kick->addAction(QStringLiteral("Unset Just Watch"));
    UnsetJustWatch1->setObjectName(QStringLiteral("UnsetJustWatch1"));
    connect(UnsetJustWatch1, &QAction::triggered, this, &Tchat::UnsetJustWatch1Click);
}

void Tchat::buildDispatchTable()
{
    auto add = [this](const char* name, void (Tchat::*handler)(const QByteArray&)) {
        m_dispatch.add(name, [this, handler](const QByteArray& body) { (this->*handler)(body); });
    };
    // The client's comparison order.
    add(cmd::sendlogininfo, &Tchat::sendloginfo);
    add(cmd::chat, &Tchat::chatrecieved);
    add(cmd::action, &Tchat::chatrecieved);
    add(cmd::playasound, &Tchat::playasound);
    add(cmd::newplayerinfo, &Tchat::newplayerinfo);
    add(cmd::havewrongversion, &Tchat::havewrongversion);
    add(cmd::wrongversion, &Tchat::wrongversion);
    add(cmd::existingplayers, &Tchat::newplayerinfo);
    add(cmd::playerdisconnected, &Tchat::playerdisconnected);
    add(cmd::full, &Tchat::gamefull);
    add(cmd::justwatching, &Tchat::justwatching);
    add(cmd::startgame, &Tchat::startthegame);
    add(cmd::nextplayer, &Tchat::getnextplayer);
    add(cmd::winner, &Tchat::winner);
    add(cmd::roundstart, &Tchat::roundstart);
    add(cmd::myboard, &Tchat::myboard);
    add(cmd::invalid, &Tchat::invalid);
    add(cmd::chooseball, &Tchat::chooseball);
    add(cmd::coverit, &Tchat::coverit);
    add(cmd::scores, &Tchat::scores);
    add(cmd::gamestats, &Tchat::gamestats);
}

void Tchat::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        processparams();
    }
}

void Tchat::processparams()
{
    setStartAvailable(false);
    m_loginName.clear();
    const QStringList& args = m_options.arguments;
    if (args.isEmpty()) {
        systemline(QStringLiteral("Loading Solo Game..Please wait."));
        emit soloStarted();
        m_hostAddress = QStringLiteral("127.0.0.1");
        m_playerName = QStringLiteral("You");
        hostpress();
        return;
    }
    systemline(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (args.size() < 3)
        return;
    m_playerName = args.at(0);
    m_hostAddress = args.at(1);
    if (args.at(2) == QLatin1String("true"))
        hostpress();
    else
        joinpress();
    Sock11.connectToHost(QHostAddress(QHostAddress::LocalHost), m_options.lobbyPort);
}

void Tchat::hostpress()
{
    if (!m_server || !m_server->startListening(m_options.gamePort))
        return;
    m_loginName = m_playerName.toUtf8() + msg::terminator;
    m_hostMode = true;
    emit hostModeStarted();
    sock.connectToHost(QHostAddress(QHostAddress::LocalHost), m_server->serverPort());
    setStartAvailable(true);
}

void Tchat::joinpress()
{
    m_loginName = m_playerName.toUtf8() + msg::terminator;
    // A text that starts with a digit is a dotted address and is never looked up; one that
    // is no IPv4 address fails as a connect does. Anything else is a name to look up.
    const QChar first = m_hostAddress.isEmpty() ? QChar() : m_hostAddress.front();
    if (first >= u'0' && first <= u'9') {
        const QHostAddress address(m_hostAddress);
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            sock.connectToHost(address, m_options.gamePort);
        else
            QMetaObject::invokeMethod(
                this, [this] { sockInfo(QAbstractSocket::NetworkError); }, Qt::QueuedConnection);
    } else {
        sock.connectToHost(m_hostAddress, m_options.gamePort);
    }
    setStartAvailable(false);
}

void Tchat::setStartAvailable(bool available)
{
    button_start->setVisible(available);
    StartGame1->setEnabled(available);
    emit startAvailabilityChanged(available);
}

void Tchat::send(const QByteArray& wire)
{
    if (sock.state() != QAbstractSocket::ConnectedState) {
        if (m_errors)
            m_errors->report(socketerror::notConnected);
        return;
    }
    m_link.send(wire);
}

void Tchat::sockInfo(QAbstractSocket::SocketError error)
{
    if (m_everConnected) {
        // A reset or aborted connection ends like an orderly close.
        if (sock.state() != QAbstractSocket::UnconnectedState)
            sock.abort();
        else
            QMetaObject::invokeMethod(this, &Tchat::connectionClosed, Qt::QueuedConnection);
        return;
    }
    if (error == QAbstractSocket::HostNotFoundError) {
        if (m_errors)
            m_errors->report(socketerror::hostLookup);
        return;
    }
    systemline(QStringLiteral("Cannot connect to the host."));
}

void Tchat::connectionClosed()
{
    // Any close of the connection to the host ends the program; after "Game is full" the
    // player's dismissal of the box does.
    if (!m_gameFullBox)
        close();
}

void Tchat::Timer1Timer(const QueuedMessage& message)
{
    ++m_dispatched;
    m_dispatch.dispatch(message.text);
}

// ---- Chat lines and sounds ----

void Tchat::systemline(const QString& text)
{
    addlinetochat(0, text, m_systemColour);
}

void Tchat::addlinetochat(int code, const QString& body, const QColor& colour)
{
    if (code < 0 || code > maxSeat) {
        qCDebug(lcClient) << "chat line with code" << code << "is no seat's; not shown";
        return;
    }
    mainchat->addLine(code, body, colour);
    if (!ScrollChatOff1->isChecked())
        mainchat->scrollToEnd();
}

bool Tchat::addlinetochat(const QString& line, const QColor& colour)
{
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    int code = 0;
    if (plus < 0 || !Fields::parseNumber(line.left(plus).toUtf8(), &code))
        return false;
    addlinetochat(code, line.mid(plus + 1), colour);
    return true;
}

void Tchat::playsounds(const QString& name)
{
    if (m_sounds && PlaySounds1->isChecked())
        m_sounds->play(name);
}

void Tchat::chatrecieved(const QByteArray& body)
{
    const QString payload = QString::fromUtf8(body);
    const qsizetype bar = payload.indexOf(QLatin1Char(msg::colourSeparator));
    const QString line = bar < 0 ? payload : payload.left(bar);
    QColor colour = pureRed;
    if (bar >= 0) {
        if (const std::optional<QColor> named = colourFromName(payload.mid(bar + 1)))
            colour = *named;
    }
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    // The code is read like any numeric field: a line without one is an error.
    Fields code((plus < 0 ? QString() : line.left(plus)).toUtf8());
    addlinetochat(code.number(), line.mid(plus + 1), colour);
}

void Tchat::playasound(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const QString name = f.text();
    // Only the chatter sounds: a peer cannot make the table hear a game sound.
    const int tag = chattersounds::tagOf(name);
    if (tag == 0) {
        qCDebug(lcClient) << "chatter sound" << name << "is not one of the menu's";
        return;
    }
    if (PlayerPhraseSounds1->isChecked()) {
        if (m_sounds)
            m_sounds->play(name);
        return;
    }
    if (!SeatRows::isRow(seat))
        return;
    systemline(m_rows->name(seat) + QStringLiteral(": <Chatter Sound> ") +
               chattersounds::title(tag));
}

void Tchat::sendit()
{
    if (!m_loggedIn)
        return;
    const QString line = mychat->text();
    const QString colour = colourName(m_chatColour);
    if (line.isEmpty()) {
        // nothing to send
    } else if (!line.startsWith(QLatin1Char('/'))) {
        send(msg::chat(m_ownSeat, line, colour));
    } else if (line.startsWith(QLatin1String("/me"))) {
        send(msg::action(m_ownSeat, line.mid(4), colour));
    }
    mychat->clear();
}

void Tchat::b_phrase1Click(int index)
{
    if (!m_phraseGate.isOpen())
        return;
    const QString phrase = m_phrases->phrase(index);
    const QString text = phrase.startsWith(QLatin1String("/me "))
                             ? phrase.mid(4)
                             : QStringLiteral("says: ") + phrase;
    send(msg::action(m_ownSeat, text, colourName(m_chatColour)));
    m_phraseGate.close();
}

void Tchat::wave4Click(int tag)
{
    if (tag != 0 && m_loggedIn)
        send(msg::playasound(m_ownSeat, tag));
}

void Tchat::N271Click(int code)
{
    if (mychat->showsPlaceholder())
        mychat->clear();
    mychat->appendText(QStringLiteral(":)#%1").arg(code));
}

void Tchat::mainchatJump(int slot)
{
    const QUrl url = ChatView::webAddress(mainchat->linkSlot(slot));
    if (!url.isValid() || !m_openUrl || !m_openUrl(url))
        showMessage(QStringLiteral("Cannot open Webpage"));
}

QMessageBox* Tchat::showMessage(const QString& text)
{
    // Not modal: the game goes on while the box is open.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Quorvel"), text,
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("messagebox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

void Tchat::ClearMainChat1Click()
{
    mainchat->clearChat();
    mychat->setFocus();
}

void Tchat::ScrollChatOff1Click()
{
    // The item's own check mark is the state; nothing else to keep.
}

void Tchat::setChatColour(const QColor& colour)
{
    m_chatColour = colour;
    mychat->setTextColour(colour);
}

// ---- Options ----

void Tchat::PlaySounds1Click()
{
    saveinifile();
}

void Tchat::PlayerPhraseSounds1Click()
{
    saveinifile();
}

void Tchat::TurnSoundClick(QAction* item)
{
    TurnSound1->setData(item->data());
    saveinifile();
}

void Tchat::TextColor1Click()
{
    ColorDialog->setCurrentColor(m_chatColour);
    ColorDialog->open();
}

void Tchat::TextSizeClick(QAction* item)
{
    item->setChecked(true);
    mainchat->setTextSize(item->data().toInt());
    saveinifile();
}

void Tchat::BotSpeedClick(QAction* item)
{
    BotSpeed1->setData(item->data());
    saveinifile();
}

void Tchat::TimeDelayClick(QAction* item)
{
    TimeBetweenRoundDelay1->setData(item->data());
    saveinifile();
}

int Tchat::botSpeedMs() const
{
    return BotSpeed1->data().toInt();
}

int Tchat::secondsBetweenRounds() const
{
    return TimeBetweenRoundDelay1->data().toInt();
}

int Tchat::turnSound() const
{
    return TurnSound1->data().toInt();
}

void Tchat::setGameStart(Tgamestart* dialog)
{
    m_gamestart = dialog;
    if (dialog)
        connect(dialog, &Tgamestart::saveRequested, this, &Tchat::saveinifile);
}

void Tchat::button_startClick()
{
    if (!m_loggedIn) {
        showMessage(QStringLiteral("You are not connected"));
        return;
    }
    if (!m_gamestart)
        return;
    m_gamestart->setPlayerName(m_playerName);
    m_gamestart->show();
    m_gamestart->raise();
    m_gamestart->activateWindow();
}

void Tchat::ResetScreenLocation1Click()
{
    move(defaultLeft, defaultTop);
    resize(defaultWidth, defaultHeight);
}

namespace {
// Checks the item of a radio submenu whose tag is value, and only that one.
void checkByTag(QAction* submenu, int value)
{
    for (QAction* item : submenu->menu()->actions())
        item->setChecked(item->data().toInt() == value);
}
} // namespace

Settings Tchat::currentSettings() const
{
    Settings s;
    s.textSize = mainchat->textSize();
    s.bounds = windowBounds(*this);
    s.textColour = m_chatColour;
    if (m_gamestart)
        m_gamestart->storeIn(s);
    s.botSpeedMs = botSpeedMs();
    s.timeDelaySeconds = secondsBetweenRounds();
    s.turnSound = turnSound();
    for (int i = 0; i < Settings::phraseCount; ++i)
        s.phrases[std::size_t(i)] = m_phrases->phrase(i + 1);
    s.playSounds = PlaySounds1->isChecked();
    s.playerPhraseSounds = PlayerPhraseSounds1->isChecked();
    return s;
}

void Tchat::loadinifile()
{
    // Starts from the current state: values the file lacks or cannot give stay as they are.
    Settings s = currentSettings();
    QString error;
    if (!loadSettingsFile(m_iniPath, s, &error))
        qCWarning(lcClient) << "settings file" << m_iniPath << ":" << error;

    mainchat->setTextSize(s.textSize);
    // Where the file says, unless that is off every screen or not a sensible size.
    const QRect place = placeableBounds(
        s.bounds, screenAreas(), QRect(defaultLeft, defaultTop, defaultWidth, defaultHeight));
    move(place.topLeft());
    resize(place.size());
    m_savedBounds = windowBounds(*this);
    checkByTag(TextSize1, s.textSize);
    setChatColour(s.textColour);
    if (m_gamestart)
        m_gamestart->loadFrom(s);
    checkByTag(BotSpeed1, s.botSpeedMs);
    BotSpeed1->setData(s.botSpeedMs);
    checkByTag(TimeBetweenRoundDelay1, s.timeDelaySeconds);
    TimeBetweenRoundDelay1->setData(s.timeDelaySeconds);
    checkByTag(TurnSound1, s.turnSound);
    TurnSound1->setData(s.turnSound);
    for (int i = 0; i < Settings::phraseCount; ++i)
        m_phrases->setPhrase(i + 1, s.phrases[std::size_t(i)]);
    PlaySounds1->setChecked(s.playSounds);
    PlayerPhraseSounds1->setChecked(s.playerPhraseSounds);
    if (s.showHelp) {
        panel_help->show();
        // Watches every press while the panel shows, to see the ones over it.
        qApp->installEventFilter(this);
    }
}

void Tchat::saveinifile()
{
    saveSettings(windowBounds(*this));
}

void Tchat::saveSettings(const QRect& bounds)
{
    Settings s = currentSettings();
    s.bounds = bounds;
    QString error;
    if (!saveSettingsFile(m_iniPath, s, &error))
        qCWarning(lcClient) << "settings file" << m_iniPath << "not written:" << error;
}

// ---- Seats and the table ----

bool Tchat::seatInPlay(int seat) const
{
    return SeatRows::isRow(seat) && seatinplay[std::size_t(seat)];
}

void Tchat::setStatus(const QString& text)
{
    label_status->setText(text);
}

QString Tchat::status() const
{
    return label_status->text();
}

void Tchat::sendloginfo(const QByteArray& body)
{
    Fields f(body);
    m_ownSeat = f.number();
    m_loggedIn = true;
    qCInfo(lcClient) << "logged in at seat" << m_ownSeat;
    send(msg::logininfo(m_ownSeat, table::version(), m_playerName));
}

void Tchat::newplayerinfo(const QByteArray& body)
{
    Fields f(body);
    while (!f.atEnd()) {
        const int seat = f.number();
        const QString name = f.text();
        const QString watching = f.text();
        if (seat < 1 || seat > maxSeat) {
            qCDebug(lcClient) << "player entry for seat" << seat << "skipped";
            continue;
        }
        if (seat == m_ownSeat) {
            systemline(QStringLiteral("You are Connected."));
            loadinifile();
        } else {
            systemline(name + QStringLiteral(" is Connected."));
        }
        if (seat <= playingseats) {
            m_rows->setName(seat, name);
            if (watching == QLatin1String("1"))
                m_rows->setEyes(seat, true);
        } else {
            const int row = m_spylist->rowCount();
            m_spylist->insertRows(row, 1);
            m_spylist->setData(m_spylist->index(row), QStringLiteral("%1: %2").arg(seat).arg(name));
            systemline(seat == m_ownSeat ? QStringLiteral("You are spying.")
                                         : name + QStringLiteral(" is spying."));
        }
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::havewrongversion(const QByteArray& body)
{
    systemline(QString::fromUtf8(body) +
               QStringLiteral(" has a different version of the game then you."));
}

void Tchat::wrongversion(const QByteArray&)
{
    systemline(QStringLiteral("You have a different version of the game then the host."));
}

void Tchat::playerdisconnected(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const QString name = QString::fromUtf8(f.rest());
    if (SeatRows::isRow(seat)) {
        const QString shown = m_rows->name(seat);
        if (shown != waiting && shown != botname(seat))
            systemline(shown + QStringLiteral(" disconnected."));
        m_rows->setName(seat, seatinplay[std::size_t(seat)] ? botname(seat) : waiting);
        m_rows->setEyes(seat, false);
    } else if (seat > playingseats) {
        const int row =
            int(m_spylist->stringList().indexOf(QStringLiteral("%1: %2").arg(seat).arg(name)));
        if (row >= 0) {
            systemline(name + QStringLiteral(" has left."));
            m_spylist->removeRows(row, 1);
        }
    }
}

void Tchat::gamefull(const QByteArray&)
{
    m_gameFullBox = showMessage(QStringLiteral("Game is full"));
    connect(m_gameFullBox, &QDialog::finished, this, &QWidget::close);
}

void Tchat::justwatching(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const QString mode = f.text();
    if (!SeatRows::isRow(seat))
        return;
    const bool watches = mode == QLatin1String("1");
    if (seat == m_ownSeat)
        JustWatch1->setChecked(watches);
    systemline(m_rows->name(seat) + (watches ? QStringLiteral(" is just watching")
                                             : QStringLiteral(" is now playing again")));
    m_rows->setEyes(seat, watches);
}

void Tchat::startthegame(const QByteArray& body)
{
    Fields f(body);
    const QString starter = f.text();
    const QString playtoscore = f.text();
    button_start->hide();
    JustWatch1->setChecked(false);
    hideWinnerBanner();
    clearall();
    label_playtoscore->setText(QStringLiteral("Play to Score: ") + playtoscore);
    if (m_ownSeat > playingseats || m_rows->name(m_ownSeat) != starter)
        systemline(starter + QStringLiteral(" has started a game."));
    else
        systemline(QStringLiteral("You have started a game."));
    // Seat 2 always plays, if need be by the computer.
    if (m_rows->name(2) == waiting)
        m_rows->setName(2, botname(2));
    seatinplay[2] = true;
}

void Tchat::roundstart(const QByteArray& body)
{
    resetChosenPanel();
    hideScoreSheet();
    Fields f(body);
    f.number(); // the round number is not shown
    while (!f.atEnd()) {
        const int seat = f.number();
        const int flag = f.number();
        if (!SeatRows::isRow(seat)) {
            qCDebug(lcClient) << "round start names seat" << seat << "; skipped";
            continue;
        }
        seatinplay[std::size_t(seat)] = false;
        if (flag == 1 && m_rows->name(seat) == waiting) {
            seatinplay[std::size_t(seat)] = true;
            m_rows->setName(seat, botname(seat));
        }
    }
    for (int seat = 1; seat <= playingseats; ++seat)
        m_rows->setBonus(seat, QString());
    setBobCounter(0);
    resetBallHistory();
    resetBoard();
    m_cards->reset();
}

void Tchat::myboard(const QByteArray& body)
{
    Fields f(body);
    f.number(); // the seat is not checked
    while (!f.atEnd()) {
        const int card = f.number();
        const int column = f.number();
        const int row = f.number();
        const int value = f.number();
        if (!CardGrid::isCell(card, column, row)) {
            qCDebug(lcClient) << "card cell" << card << column << row << "does not exist; skipped";
            continue;
        }
        m_cards->setCell(card, column, row, value);
    }
    m_cards->markCentres();
}

void Tchat::getnextplayer(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    if (!SeatRows::isRow(seat))
        return;
    turnseat = seat;
    m_rows->moveTurnMarker(seat);
    if (m_rows->name(seat) == waiting)
        m_rows->setName(seat, botname(seat));
    seatinplay[std::size_t(seat)] = true;
    if (seat == m_ownSeat) {
        setStatus(QStringLiteral("Your Turn."));
        playsounds(TurnSound1->data().toInt() == 1 ? QStringLiteral("turnnew")
                                                   : QStringLiteral("turn"));
    } else {
        setStatus(m_rows->name(seat) + QStringLiteral("'s turn."));
    }
}

void Tchat::clearall()
{
    setBobCounter(0);
    for (int seat = 1; seat <= playingseats; ++seat) {
        m_rows->setScore(seat, QStringLiteral("0"));
        m_rows->setBonus(seat, QString());
    }
    resetBallHistory();
    resetBoard();
    m_cards->reset();
}

// ---- Board, balls and scores ----

namespace {
constexpr std::array<int, 6> historyLefts{349, 391, 432, 474, 515, 557};

bool isBallValue(int value)
{
    return (value >= 1 && value <= 75) || value == pictures::zorerBall;
}
} // namespace

void Tchat::buildPlayingSurface(QWidget* parent)
{
    auto* theboard = new QFrame(parent);
    theboard->setObjectName(QStringLiteral("panel_theboard"));
    theboard->setGeometry(3, 158, 324, 364);
    theboard->setStyleSheet(QStringLiteral("#panel_theboard { background: black;"
                                           " border: 2px solid rgb(96, 32, 128); }"));
    paintbox_board = new BallBoard(theboard);
    paintbox_board->move(2, 2);
    connect(paintbox_board, &BallBoard::released, this, &Tchat::paintbox_boardMouseUp);

    m_bigball = new BigBall(parent);
    m_bigball->move(192, 3);
    image_bob = new IndexedPicture(&pictures::paintBobCounter, parent);
    image_bob->setObjectName(QStringLiteral("image_bob"));
    image_bob->setGeometry(192, 125, 134, 30);

    auto* strip = new QFrame(parent);
    strip->setObjectName(QStringLiteral("panel_history"));
    strip->setGeometry(345, 2, 256, 48);
    strip->setStyleSheet(QStringLiteral("#panel_history { background: rgb(96, 32, 128); }"));
    for (std::size_t i = 0; i < image_other.size(); ++i) {
        auto* picture = new IndexedPicture(&pictures::paintBall, parent);
        picture->setObjectName(QStringLiteral("image_other%1").arg(i + 1));
        picture->setGeometry(historyLefts[i], 6, 40, 40);
        image_other[i] = picture;
    }

    // Over the middle of the board.
    button_start = new PictureButton(
        [](QPainter& p, const QRectF& r) {
            pictures::paintWordButton(p, r, QStringLiteral("START GAME"));
        },
        parent);
    button_start->setObjectName(QStringLiteral("button_start"));
    button_start->setGeometry(105, 312, 126, 40);
    button_start->hide();
    connect(button_start, &QAbstractButton::clicked, this, &Tchat::button_startClick);

    panel_scoresheet = new ScoreSheet(parent);
    panel_scoresheet->move(12, 208);
    panel_scoresheet->hide();
    connect(panel_scoresheet, &ScoreSheet::moreClicked, this, &Tchat::image_more1Click);
    connect(panel_scoresheet, &ScoreSheet::okClicked, this, &Tchat::button_okClick);
    connect(panel_scoresheet, &ScoreSheet::nameContextMenu, this,
            [this](int seat, const QPoint& at) {
                label_playername1ContextPopup(seat, panel_scoresheet->name(seat), at);
            });
    panel_more = new DetailsPanel(parent);
    panel_more->move(316, 208);
    panel_more->hide();

    panel_choosen = new ChosenPanel(parent);
    panel_choosen->move(3, 3);
    panel_choosen->hide();
    button_open = new PictureButton(
        [](QPainter& p, const QRectF& r) { pictures::paintArrow(p, r, false); }, parent);
    button_open->setObjectName(QStringLiteral("button_open"));
    button_open->setGeometry(326, 2, 12, 16);
    connect(button_open, &QAbstractButton::clicked, this, &Tchat::button_openClick);
    button_close = new PictureButton(
        [](QPainter& p, const QRectF& r) { pictures::paintArrow(p, r, true); }, parent);
    button_close->setObjectName(QStringLiteral("button_close"));
    button_close->setGeometry(326, 2, 12, 16);
    button_close->hide();
    connect(button_close, &QAbstractButton::clicked, this, &Tchat::button_closeClick);

    panel_winner = new WinnerBanner(parent);
    panel_winner->move(329, 2);
    panel_winner->hide();
}

QList<int> Tchat::ballHistory() const
{
    QList<int> values;
    for (const IndexedPicture* picture : image_other)
        values.append(picture->index());
    return values;
}

int Tchat::bobCounter() const
{
    return image_bob->index();
}

std::array<int, 7> Tchat::seatPatterns(int seat) const
{
    return SeatRows::isRow(seat) ? patterns[std::size_t(seat)] : std::array<int, 7>{};
}

void Tchat::paintbox_boardMouseUp(QPoint point)
{
    const int position = BallBoard::positionAt(point);
    if (position == 0)
        return;
    if (paintbox_board->revealed(position)) {
        playsounds(QStringLiteral("invalid"));
        return;
    }
    // Whose turn it is is the host's business: it ignores picks out of turn.
    if (m_loggedIn)
        send(msg::chooseball(m_ownSeat, position));
}

void Tchat::label_roundnumClick(int card, int column, int row)
{
    // Covered cells, the centre and emptied cells hold 0, which is never drawn.
    if (!paintbox_board->isDrawn(m_cards->cellNumber(card, column, row))) {
        playsounds(QStringLiteral("invalid"));
        setStatus(QStringLiteral("That number has not been choosen."));
        return;
    }
    // Marked only when the host accepts the cover.
    if (m_loggedIn)
        send(msg::cover(m_ownSeat, card, column, row));
}

void Tchat::chooseball(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const int position = f.number();
    const int value = f.number();
    const int bobs = f.number();
    const int score = f.number();
    const int penalty = f.number();
    if (!BallBoard::isPosition(position) || !isBallValue(value)) {
        qCDebug(lcClient) << "ball" << value << "at position" << position << "refused";
        return;
    }
    for (int s = 1; s <= playingseats; ++s)
        m_rows->setBonus(s, QString());
    paintbox_board->reveal(position, value);
    if (value == pictures::zorerBall) {
        setBobCounter(bobs);
        m_bigball->showBob();
        playsounds(QStringLiteral("roundover"));
        setStatus(QStringLiteral("Zorer Aru!"));
        if (penalty != 0 && SeatRows::isRow(seat)) {
            m_rows->setBonus(seat, QStringLiteral("-%1").arg(penalty));
            m_rows->setScore(seat, QString::number(score));
        }
    } else {
        panel_choosen->setChosen(value);
        m_bigball->showText(pictures::ballText(value));
        setStatus(QStringLiteral("Ball : ") + m_bigball->text());
        playsounds(QStringLiteral("replace"));
    }
    for (std::size_t k = image_other.size() - 1; k > 0; --k)
        image_other[k]->setIndex(image_other[k - 1]->index());
    image_other[0]->setIndex(value);
    playsounds(QStringLiteral("selectball"));
}

void Tchat::invalid(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const int code = f.number();
    if (seat != m_ownSeat)
        return;
    if (code == 1)
        setStatus(QStringLiteral("Ball has already been choosen."));
    else if (code == 2)
        setStatus(QStringLiteral("Invalid Choice."));
    playsounds(QStringLiteral("invalid"));
}

void Tchat::coverit(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const int card = f.number();
    const int column = f.number();
    const int row = f.number();
    if (seat != m_ownSeat)
        return;
    if (!CardGrid::isCell(card, column, row)) {
        qCDebug(lcClient) << "cover of cell" << card << column << row << "does not exist";
        return;
    }
    m_cards->setCell(card, column, row, 0);
    playsounds(QStringLiteral("selectnum"));
}

void Tchat::scores(const QByteArray& body)
{
    setChosenPanelOpen(false);
    panel_scoresheet->clearRows();
    Fields f(body);
    while (!f.atEnd()) {
        const int seat = f.number();
        const int total = f.number();
        const int round = f.number();
        std::array<int, 7> values{};
        for (int& v : values)
            v = f.number();
        if (!SeatRows::isRow(seat)) {
            qCDebug(lcClient) << "scores for seat" << seat << "skipped";
            continue;
        }
        m_rows->setScore(seat, QString::number(total));
        m_rows->setBonus(seat, QStringLiteral("+%1").arg(round));
        panel_scoresheet->setRow(seat, m_rows->name(seat),
                                 m_rows->score(seat) + QLatin1Char(' ') + m_rows->bonus(seat));
        patterns[std::size_t(seat)] = values;
    }
    panel_scoresheet->show();
    panel_scoresheet->raise();
    setStatus(QStringLiteral("Posting Scores.. Please Wait."));
    qCInfo(lcClient) << "round scored";
    playsounds(QStringLiteral("roundover"));
}

void Tchat::image_more1Click(int seat)
{
    if (!SeatRows::isRow(seat))
        return;
    panel_more->move(316, panel_scoresheet->y() + panel_scoresheet->arrowTop(seat));
    panel_more->showDetails(m_rows->name(seat), patterns[std::size_t(seat)]);
    panel_more->raise();
}

void Tchat::FlatButton1Click()
{
    panel_more->hide();
}

void Tchat::button_okClick()
{
    hideScoreSheet();
}

void Tchat::winner(const QByteArray& body)
{
    Fields f(body);
    const QString name = f.text();
    setChosenPanelOpen(false);
    playsounds(QStringLiteral("winner"));
    // A spy has no row and can only see somebody else win.
    const bool seated = SeatRows::isRow(m_ownSeat);
    const bool won = seated && m_rows->name(m_ownSeat) == name;
    const QString line = won ? QStringLiteral("You have Won the Game!")
                             : name + QStringLiteral(" has Won the Game!");
    setStatus(QStringLiteral("Game Over!"));
    qCInfo(lcClient) << "game over:" << line;
    systemline(line);
    panel_winner->showLine(line);
    panel_winner->raise();
    if (m_hostMode)
        setStartAvailable(true);
    if (seated)
        emit gameCounted(won ? QStringLiteral("addtomine") : name);
}

void Tchat::gamestats(const QByteArray& body)
{
    Fields f(body);
    const int turn = f.number();
    const int bobs = f.number();
    const int playtoscore = f.number();
    std::array<int, playingseats> totals{};
    for (int& total : totals)
        total = f.number();
    if (SeatRows::isRow(turn))
        turnseat = turn;
    for (int seat = 1; seat <= playingseats; ++seat)
        m_rows->setScore(seat, QString::number(totals[std::size_t(seat - 1)]));
    label_playtoscore->setText(QStringLiteral("Play To Score: %1").arg(playtoscore));
    while (!f.atEnd()) {
        const int position = f.number();
        const int value = f.number();
        if (!BallBoard::isPosition(position) || !isBallValue(value)) {
            qCDebug(lcClient) << "caught-up ball" << value << "at" << position << "skipped";
            continue;
        }
        paintbox_board->reveal(position, value);
    }
    setBobCounter(bobs);
}

void Tchat::resetBoard()
{
    paintbox_board->reset();
}

void Tchat::resetBallHistory()
{
    for (IndexedPicture* picture : image_other)
        picture->setIndex(pictures::emptyBall);
}

void Tchat::resetChosenPanel()
{
    panel_choosen->reset();
}

void Tchat::setBobCounter(int zorers)
{
    image_bob->setIndex(qBound(0, zorers, pictures::bobCounterPictures - 1));
}

void Tchat::hideScoreSheet()
{
    panel_more->hide();
    panel_scoresheet->hide();
}

void Tchat::hideWinnerBanner()
{
    panel_winner->hide();
}

void Tchat::setChosenPanelOpen(bool open)
{
    panel_choosen->setVisible(open);
    if (open)
        panel_choosen->raise();
    button_close->setVisible(open);
    button_open->setVisible(!open);
    ChoosenBingoBalls1->setChecked(open);
}

void Tchat::ChoosenBingoBalls1Click()
{
    setChosenPanelOpen(!ChoosenBingoBalls1->isChecked());
}

void Tchat::button_openClick()
{
    setChosenPanelOpen(true);
}

void Tchat::button_closeClick()
{
    setChosenPanelOpen(false);
}

// ---- Seat commands ----

void Tchat::label_playername1ContextPopup(int seat, const QString& shownName,
                                          const QPoint& globalPos)
{
    RemoveFromGame1->setEnabled(m_hostMode && shownName != waiting);
    SettoJustWatch1->setEnabled(m_hostMode);
    UnsetJustWatch1->setEnabled(m_hostMode);
    m_popupSeat = seat;
    popup_kick->popup(globalPos);
}

void Tchat::kicking(int seat)
{
    if (m_hostMode && m_loggedIn)
        send(msg::kickhim(m_ownSeat, seat));
}

void Tchat::RemoveFromGame1Click()
{
    kicking(m_popupSeat);
}

void Tchat::SettoJustWatch1Click()
{
    if (m_loggedIn && m_popupSeat >= 1 && m_popupSeat <= playingseats)
        send(msg::justwatch(m_popupSeat, 1));
}

void Tchat::UnsetJustWatch1Click()
{
    if (m_loggedIn && m_popupSeat >= 1 && m_popupSeat <= playingseats)
        send(msg::justwatch(m_popupSeat, 2));
}

void Tchat::JustWatch1Click()
{
    // The check mark follows the host's answer, not the click.
    const bool watching = !JustWatch1->isChecked();
    JustWatch1->setChecked(watching);
    if (m_loggedIn && m_ownSeat >= 1 && m_ownSeat <= playingseats)
        send(msg::justwatch(m_ownSeat, watching ? 2 : 1));
}

// ---- Window ----

void Tchat::FormResize()
{
    // The client area (below the menu bar) keeps room for the table panel.
    const QSize client = centralWidget()->size();
    const int growWidth = qMax(0, boardPanelWidth + 4 - client.width());
    const int growHeight = qMax(0, boardPanelHeight + 4 - client.height());
    if (growWidth > 0 || growHeight > 0)
        resize(width() + growWidth, height() + growHeight);
}

void Tchat::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tchat::FormClose()
{
    qCInfo(lcClient) << "main window closing";
    if (const auto bounds =
            boundsToSaveAtClose(windowBounds(*this), m_savedBounds, desktopWorkArea(*this))) {
        m_savedBounds = *bounds;
        saveSettings(*bounds);
    }
}

void Tchat::closeEvent(QCloseEvent* event)
{
    FormClose();
    QMainWindow::closeEvent(event);
    emit closed();
}

bool Tchat::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == image_logo) {
            emit logoClicked();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress && panel_help->isVisible() &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            panel_help->rect().contains(
                panel_help->mapFromGlobal(mouse->globalPosition().toPoint()))) {
            panel_help->hide();
            qApp->removeEventFilter(this);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tchat::Exit1Click()
{
    close();
}

QStringList Tchat::loadchecklist() const
{
    QStringList names;
    for (int seat = 1; seat <= playingseats; ++seat) {
        const QString name = m_rows->name(seat);
        if (seat != m_ownSeat && name != waiting)
            names << name;
    }
    return names;
}
