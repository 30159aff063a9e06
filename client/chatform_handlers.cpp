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
#include "client/tableaccess.h"
#include "net/messages.h"
#include "platform/logging.h"

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
    m_state.logIn(msg::SendLoginInfo::parse(body).seat);
    qCInfo(lcClient) << "logged in at seat" << m_state.ownSeat();
    send(msg::logininfo(m_state.ownSeat(), table::version(), m_playerName));
}

void Tchat::chatrecieved(const QByteArray& body)
{
    const msg::ChatLine m = msg::ChatLine::parse(body);
    const std::optional<QColor> named = m.colour ? colourFromName(*m.colour) : std::nullopt;
    addlinetochat(m.seat, m.text, named.value_or(pureRed));
}

void Tchat::playasound(const QByteArray& body)
{
    const msg::Sound m = msg::Sound::parse(body);
    // Only the chatter sounds: a peer cannot make the table hear a game sound.
    const int tag = chattersounds::tagOf(m.name);
    if (tag == 0) {
        qCDebug(lcClient) << "chatter sound" << m.name << "is not one of the menu's";
        return;
    }
    if (options().playerPhraseSounds) {
        if (m_sounds)
            m_sounds->play(m.name);
    } else if (TableState::isRow(m.seat)) {
        systemline(m_state.name(m.seat) + QStringLiteral(": <Chatter Sound> ") +
                   chattersounds::title(tag));
    }
}

void Tchat::newplayerinfo(const QByteArray& body)
{
    for (const msg::SeatInfo& s : msg::PlayerList::parse(body).seats) {
        if (s.seat < 1 || s.seat > table::maxSeats) {
            qCDebug(lcClient) << "player entry for seat" << s.seat << "skipped";
            continue;
        }
        if (s.seat == m_state.ownSeat()) {
            systemline(QStringLiteral("You are Connected."));
            m_settings->load();
        } else {
            systemline(s.name + QStringLiteral(" is Connected."));
        }
        if (TableState::isRow(s.seat)) {
            m_state.seatPlayer(s.seat, s.name, s.watching);
            m_surface->showSeat(s.seat);
        } else {
            m_state.addSpy(s.seat, s.name);
            const int row = m_spylist->rowCount();
            m_spylist->insertRows(row, 1);
            m_spylist->setData(m_spylist->index(row),
                               QStringLiteral("%1: %2").arg(s.seat).arg(s.name));
            systemline(s.seat == m_state.ownSeat() ? QStringLiteral("You are spying.")
                                                   : s.name + QStringLiteral(" is spying."));
        }
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::havewrongversion(const QByteArray& body)
{
    systemline(msg::HaveWrongVersion::parse(body).name +
               QStringLiteral(" has a different version of the game then you."));
}

void Tchat::wrongversion(const QByteArray&)
{
    systemline(QStringLiteral("You have a different version of the game then the host."));
}

void Tchat::playerdisconnected(const QByteArray& body)
{
    const msg::PlayerDisconnected m = msg::PlayerDisconnected::parse(body);
    if (TableState::isRow(m.seat)) {
        const QString shown = m_state.leave(m.seat);
        if (!shown.isEmpty())
            systemline(shown + QStringLiteral(" disconnected."));
        m_surface->showSeat(m.seat);
    } else if (m.seat > table::playingSeats) {
        const int row = m_state.removeSpy(m.seat, m.name);
        if (row >= 0) {
            systemline(m.name + QStringLiteral(" has left."));
            m_spylist->removeRows(row, 1);
        }
    }
}

void Tchat::gamefull(const QByteArray&)
{
    closeAfterMessage(QStringLiteral("Game is full"));
}

void Tchat::justwatching(const QByteArray& body)
{
    const msg::JustWatch m = msg::JustWatch::parse(body);
    if (!TableState::isRow(m.seat))
        return;
    const bool watches = m.mode == msg::JustWatch::watch;
    if (m.seat == m_state.ownSeat())
        m_menus->setJustWatch(watches);
    systemline(m_state.name(m.seat) + (watches ? QStringLiteral(" is just watching")
                                               : QStringLiteral(" is now playing again")));
    m_state.setWatching(m.seat, watches);
    m_surface->showSeat(m.seat);
}

void Tchat::startthegame(const QByteArray& body)
{
    const msg::GameStarted m = msg::GameStarted::parse(body);
    m_surface->setStartVisible(false);
    m_menus->setJustWatch(false);
    m_surface->hideWinner();
    clearall();
    m_surface->setPlayToScore(QStringLiteral("Play to Score: ") + m.playtoscore);
    systemline(m_state.isOwnName(m.name) ? QStringLiteral("You have started a game.")
                                         : m.name + QStringLiteral(" has started a game."));
    m_state.startGame();
    m_surface->showSeat(2);
}

void Tchat::roundstart(const QByteArray& body)
{
    const msg::RoundStart m = msg::RoundStart::parse(body); // the round number is not shown
    m_surface->chosenPanel()->reset();
    m_surface->hideScoreSheet();
    for (const msg::RoundStart::Seat& s : m.seats) {
        if (!TableState::isRow(s.seat))
            qCDebug(lcClient) << "round start names seat" << s.seat << "; skipped";
        m_state.startRound(s.seat, s.inRound);
    }
    m_state.clearBonuses();
    m_surface->showSeats();
    m_surface->clearRound();
}

void Tchat::myboard(const QByteArray& body)
{
    // The seat is not checked.
    for (const msg::MyBoard::Entry& e : msg::MyBoard::parse(body).cells) {
        const auto [card, column, row] = e.cell;
        if (!CardGrid::isCell(card, column, row)) {
            qCDebug(lcClient) << "card cell" << card << column << row << "does not exist; skipped";
            continue;
        }
        m_surface->cards()->setCell(card, column, row, e.value);
    }
    m_surface->cards()->markCentres();
}

void Tchat::getnextplayer(const QByteArray& body)
{
    const int seat = msg::NextPlayer::parse(body).seat;
    if (!TableState::isRow(seat))
        return;
    m_state.nextTurn(seat);
    m_surface->moveTurnMarker(seat);
    m_surface->showSeat(seat);
    if (seat == m_state.ownSeat()) {
        m_surface->setStatus(QStringLiteral("Your Turn."));
        tableaccess::askForAttention(this);
        playsounds(options().turnSound == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
    } else {
        m_surface->setStatus(m_state.name(seat) + QStringLiteral("'s turn."));
    }
}

void Tchat::chooseball(const QByteArray& body)
{
    const msg::Reveal m = msg::Reveal::parse(body);
    if (!BallBoard::isPosition(m.position) || !isBallValue(m.value)) {
        qCDebug(lcClient) << "ball" << m.value << "at position" << m.position << "refused";
        return;
    }
    m_state.clearBonuses();
    m_surface->drawBall(m.position, m.value, m.bobs);
    if (m.value == pictures::zorerBall) {
        playsounds(QStringLiteral("roundover"));
        m_surface->setStatus(QStringLiteral("Zorer Aru!"));
        m_state.setPenalty(m.seat, m.penalty, m.score);
    } else {
        m_surface->setStatus(QStringLiteral("Ball : ") + pictures::ballText(m.value));
        playsounds(QStringLiteral("replace"));
    }
    m_surface->showSeats();
    playsounds(QStringLiteral("selectball"));
}

void Tchat::invalid(const QByteArray& body)
{
    const msg::Refusal m = msg::Refusal::parse(body);
    if (m.seat != m_state.ownSeat())
        return;
    if (m.code == 1)
        m_surface->setStatus(QStringLiteral("Ball has already been choosen."));
    else if (m.code == 2)
        m_surface->setStatus(QStringLiteral("Invalid Choice."));
    playsounds(QStringLiteral("invalid"));
}

void Tchat::coverit(const QByteArray& body)
{
    const msg::CoverIt m = msg::CoverIt::parse(body);
    if (m.seat != m_state.ownSeat())
        return;
    const auto [card, column, row] = m.cell;
    if (!CardGrid::isCell(card, column, row)) {
        qCDebug(lcClient) << "cover of cell" << card << column << row << "does not exist";
        return;
    }
    m_surface->cards()->setCell(card, column, row, 0);
    playsounds(QStringLiteral("selectnum"));
}

void Tchat::scores(const QByteArray& body)
{
    const msg::Scores m = msg::Scores::parse(body);
    m_surface->setChosenPanelOpen(false);
    m_state.clearSheet();
    for (const msg::SeatScore& s : m.seats) {
        if (!TableState::isRow(s.seat))
            qCDebug(lcClient) << "scores for seat" << s.seat << "skipped";
        m_state.scored(s.seat, s.total, s.round, s.patterns);
    }
    m_surface->showSeats();
    m_surface->showScoreSheet();
    m_surface->setStatus(QStringLiteral("Posting Scores.. Please Wait."));
    qCInfo(lcClient) << "round scored";
    playsounds(QStringLiteral("roundover"));
}

void Tchat::winner(const QByteArray& body)
{
    const QString name = msg::Winner::parse(body).name;
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
    const msg::GameStats m = msg::GameStats::parse(body);
    m_state.setTurnseat(m.turn);
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        m_state.setScore(seat, m.scores[std::size_t(seat - 1)]);
    m_surface->showSeats();
    m_surface->setPlayToScore(QStringLiteral("Play To Score: %1").arg(m.playtoscore));
    for (const msg::Revealed& r : m.revealed) {
        if (!BallBoard::isPosition(r.position) || !isBallValue(r.value)) {
            qCDebug(lcClient) << "caught-up ball" << r.value << "at" << r.position << "skipped";
            continue;
        }
        m_surface->board()->reveal(r.position, r.value);
    }
    m_surface->setBobCounter(m.bobs);
}
