// The host's messages to this window: each handler reads its message, updates the
// table's state and tells the surfaces what to show.
#include "client/chatform.h"

#include "client/ballboard.h"
#include "client/cardgrid.h"
#include "client/chatpanel.h"
#include "client/chattersounds.h"
#include "client/chosenpanel.h"
#include "client/colournames.h"
#include "client/gamepictures.h"
#include "client/playingsurface.h"
#include "client/soundplayer.h"
#include "net/fields.h"
#include "net/logging.h"
#include "net/messages.h"

#include <QMessageBox>
#include <QStringListModel>

namespace {
const QColor pureRed(255, 0, 0);

bool isBallValue(int value)
{
    return (value >= 1 && value <= 75) || value == pictures::zorerBall;
}
} // namespace

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

void Tchat::sendloginfo(const QByteArray& body)
{
    Fields f(body);
    m_state.logIn(f.number());
    qCInfo(lcClient) << "logged in at seat" << m_state.ownSeat();
    send(msg::logininfo(m_state.ownSeat(), table::version(), m_playerName));
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
    if (options().playerPhraseSounds) {
        if (m_sounds)
            m_sounds->play(name);
    } else if (TableState::isRow(seat)) {
        systemline(m_state.name(seat) + QStringLiteral(": <Chatter Sound> ") +
                   chattersounds::title(tag));
    }
}

void Tchat::newplayerinfo(const QByteArray& body)
{
    Fields f(body);
    while (!f.atEnd()) {
        const int seat = f.number();
        const QString name = f.text();
        const bool watching = f.text() == QLatin1String("1");
        if (seat < 1 || seat > table::maxSeats) {
            qCDebug(lcClient) << "player entry for seat" << seat << "skipped";
            continue;
        }
        if (seat == m_state.ownSeat()) {
            systemline(QStringLiteral("You are Connected."));
            loadinifile();
        } else {
            systemline(name + QStringLiteral(" is Connected."));
        }
        if (TableState::isRow(seat)) {
            m_state.seatPlayer(seat, name, watching);
            m_surface->showSeat(seat);
        } else {
            m_state.addSpy(seat, name);
            const int row = m_spylist->rowCount();
            m_spylist->insertRows(row, 1);
            m_spylist->setData(m_spylist->index(row), QStringLiteral("%1: %2").arg(seat).arg(name));
            systemline(seat == m_state.ownSeat() ? QStringLiteral("You are spying.")
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
    if (TableState::isRow(seat)) {
        const QString shown = m_state.leave(seat);
        if (!shown.isEmpty())
            systemline(shown + QStringLiteral(" disconnected."));
        m_surface->showSeat(seat);
    } else if (seat > table::playingSeats) {
        const int row = m_state.removeSpy(seat, name);
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
    const bool watches = f.text() == QLatin1String("1");
    if (!TableState::isRow(seat))
        return;
    if (seat == m_state.ownSeat())
        m_menus->setJustWatch(watches);
    systemline(m_state.name(seat) + (watches ? QStringLiteral(" is just watching")
                                             : QStringLiteral(" is now playing again")));
    m_state.setWatching(seat, watches);
    m_surface->showSeat(seat);
}

void Tchat::startthegame(const QByteArray& body)
{
    Fields f(body);
    const QString starter = f.text();
    const QString playtoscore = f.text();
    m_surface->setStartVisible(false);
    m_menus->setJustWatch(false);
    m_surface->hideWinner();
    clearall();
    m_surface->setPlayToScore(QStringLiteral("Play to Score: ") + playtoscore);
    systemline(m_state.isOwnName(starter) ? QStringLiteral("You have started a game.")
                                          : starter + QStringLiteral(" has started a game."));
    m_state.startGame();
    m_surface->showSeat(2);
}

void Tchat::roundstart(const QByteArray& body)
{
    m_surface->chosenPanel()->reset();
    m_surface->hideScoreSheet();
    Fields f(body);
    f.number(); // the round number is not shown
    while (!f.atEnd()) {
        const int seat = f.number();
        const int flag = f.number();
        if (!TableState::isRow(seat))
            qCDebug(lcClient) << "round start names seat" << seat << "; skipped";
        m_state.startRound(seat, flag);
        m_surface->showSeat(seat);
    }
    m_state.clearBonuses();
    m_surface->showSeats();
    m_surface->clearRound();
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
        m_surface->cards()->setCell(card, column, row, value);
    }
    m_surface->cards()->markCentres();
}

void Tchat::getnextplayer(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    if (!TableState::isRow(seat))
        return;
    m_state.nextTurn(seat);
    m_surface->moveTurnMarker(seat);
    m_surface->showSeat(seat);
    if (seat == m_state.ownSeat()) {
        m_surface->setStatus(QStringLiteral("Your Turn."));
        playsounds(options().turnSound == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
    } else {
        m_surface->setStatus(m_state.name(seat) + QStringLiteral("'s turn."));
    }
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
    m_state.clearBonuses();
    m_surface->drawBall(position, value, bobs);
    if (value == pictures::zorerBall) {
        playsounds(QStringLiteral("roundover"));
        m_surface->setStatus(QStringLiteral("Zorer Aru!"));
        m_state.setPenalty(seat, penalty, score);
    } else {
        m_surface->setStatus(QStringLiteral("Ball : ") + pictures::ballText(value));
        playsounds(QStringLiteral("replace"));
    }
    m_surface->showSeats();
    playsounds(QStringLiteral("selectball"));
}

void Tchat::invalid(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const int code = f.number();
    if (seat != m_state.ownSeat())
        return;
    if (code == 1)
        m_surface->setStatus(QStringLiteral("Ball has already been choosen."));
    else if (code == 2)
        m_surface->setStatus(QStringLiteral("Invalid Choice."));
    playsounds(QStringLiteral("invalid"));
}

void Tchat::coverit(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    const int card = f.number();
    const int column = f.number();
    const int row = f.number();
    if (seat != m_state.ownSeat())
        return;
    if (!CardGrid::isCell(card, column, row)) {
        qCDebug(lcClient) << "cover of cell" << card << column << row << "does not exist";
        return;
    }
    m_surface->cards()->setCell(card, column, row, 0);
    playsounds(QStringLiteral("selectnum"));
}

void Tchat::scores(const QByteArray& body)
{
    m_surface->setChosenPanelOpen(false);
    m_state.clearSheet();
    Fields f(body);
    while (!f.atEnd()) {
        const int seat = f.number();
        const int total = f.number();
        const int round = f.number();
        TableState::Patterns values{};
        for (int& v : values)
            v = f.number();
        if (!TableState::isRow(seat))
            qCDebug(lcClient) << "scores for seat" << seat << "skipped";
        m_state.scored(seat, total, round, values);
        m_surface->showSeat(seat);
    }
    m_surface->showScoreSheet();
    m_surface->setStatus(QStringLiteral("Posting Scores.. Please Wait."));
    qCInfo(lcClient) << "round scored";
    playsounds(QStringLiteral("roundover"));
}

void Tchat::winner(const QByteArray& body)
{
    Fields f(body);
    const QString name = f.text();
    m_surface->setChosenPanelOpen(false);
    playsounds(QStringLiteral("winner"));
    const bool won = m_state.hasWon(name);
    const QString line = won ? QStringLiteral("You have Won the Game!")
                             : name + QStringLiteral(" has Won the Game!");
    m_surface->setStatus(QStringLiteral("Game Over!"));
    qCInfo(lcClient) << "game over:" << line;
    systemline(line);
    m_surface->showWinner(line);
    if (m_state.hostMode())
        setStartAvailable(true);
    // A spy has no row and can only see somebody else win.
    if (TableState::isRow(m_state.ownSeat()))
        emit gameCounted(won ? QStringLiteral("addtomine") : name);
}

void Tchat::gamestats(const QByteArray& body)
{
    Fields f(body);
    const int turn = f.number();
    const int bobs = f.number();
    const int playtoscore = f.number();
    std::array<int, table::playingSeats> totals{};
    for (int& total : totals)
        total = f.number();
    m_state.setTurnseat(turn);
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        m_state.setScore(seat, totals[std::size_t(seat - 1)]);
    m_surface->showSeats();
    m_surface->setPlayToScore(QStringLiteral("Play To Score: %1").arg(playtoscore));
    while (!f.atEnd()) {
        const int position = f.number();
        const int value = f.number();
        if (!BallBoard::isPosition(position) || !isBallValue(value)) {
            qCDebug(lcClient) << "caught-up ball" << value << "at" << position << "skipped";
            continue;
        }
        m_surface->board()->reveal(position, value);
    }
    m_surface->setBobCounter(bobs);
}
