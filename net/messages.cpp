#include "net/messages.h"

#include "net/fields.h"

namespace msg {
namespace {

// Builds "<name>+<f1>+<f2>…" with an optional trailing "+".
class Builder {
public:
    explicit Builder(const char* name) : m_text(name) {}
    Builder& add(int value)
    {
        m_text += fieldSeparator;
        m_text += QByteArray::number(value);
        return *this;
    }
    Builder& add(const QByteArray& text)
    {
        m_text += fieldSeparator;
        m_text += text;
        return *this;
    }
    Builder& add(const QString& text) { return add(text.toUtf8()); }
    QByteArray done() const { return frame(m_text); }
    QByteArray doneWithPlus() const { return frame(m_text + fieldSeparator); }

private:
    QByteArray m_text;
};

QByteArray colourTagged(const QString& text, const QString& colour)
{
    return text.toUtf8() + colourSeparator + colour.toUtf8();
}

} // namespace

QByteArray frame(const QByteArray& text)
{
    return text + terminator;
}

int claimedSeat(const QByteArray& body)
{
    return Fields(body).number();
}

QByteArray logininfo(int seat, const QString& version, const QString& name)
{
    return Builder(cmd::logininfo).add(seat).add(version).add(name.toUtf8() + terminator).done();
}

QByteArray chat(int seat, const QString& text, const QString& colour)
{
    return Builder(cmd::chat).add(seat).add(colourTagged(text, colour)).done();
}

QByteArray action(int seat, const QString& text, const QString& colour)
{
    return Builder(cmd::action).add(seat).add(colourTagged(text, colour)).done();
}

QByteArray playasound(int seat, int wave)
{
    return Builder(cmd::playasound).add(seat).add("wave" + QByteArray::number(wave)).doneWithPlus();
}

QByteArray startgame(const QString& name, const QString& playtoscore, const QString& penalty,
                     const QString& bobcount, int botsfor)
{
    return Builder(cmd::startgame)
        .add(name)
        .add(playtoscore)
        .add(penalty)
        .add(bobcount)
        .add(botsfor)
        .doneWithPlus();
}

QByteArray justwatch(int seat, int mode)
{
    return Builder(cmd::justwatch).add(seat).add(mode).done();
}

QByteArray kickhim(int seat, int target)
{
    return Builder(cmd::kickhim).add(seat).add(target).doneWithPlus();
}

QByteArray chooseball(int seat, int position)
{
    return Builder(cmd::chooseball).add(seat).add(position).doneWithPlus();
}

QByteArray cover(int seat, int card, int column, int row)
{
    return Builder(cmd::cover).add(seat).add(card).add(column * 10 + row).doneWithPlus();
}

QByteArray full()
{
    return Builder(cmd::full).doneWithPlus();
}

QByteArray sendlogininfo(int seat)
{
    return Builder(cmd::sendlogininfo).add(seat).done();
}

QByteArray existingplayers(const QList<SeatInfo>& seats)
{
    Builder b(cmd::existingplayers);
    for (const SeatInfo& s : seats)
        b.add(s.seat).add(s.name).add(s.watching ? 1 : 0);
    return b.done();
}

QByteArray wrongversion()
{
    return Builder(cmd::wrongversion).doneWithPlus();
}

QByteArray havewrongversion(const QString& name)
{
    return Builder(cmd::havewrongversion).add(name).done();
}

QByteArray gamestats(int turn, int bobs, int playtoscore, const std::array<int, 7>& scores,
                     const QList<Revealed>& revealed)
{
    Builder b(cmd::gamestats);
    b.add(turn).add(bobs).add(playtoscore);
    for (int score : scores)
        b.add(score);
    for (const Revealed& r : revealed)
        b.add(r.position).add(r.value);
    return b.done();
}

QByteArray myboard(int seat, const CardCells& cells)
{
    Builder b(cmd::myboard);
    b.add(seat);
    for (int card = 0; card < 2; ++card)
        for (int column = 0; column < 5; ++column)
            for (int row = 0; row < 5; ++row)
                b.add(card + 1).add(column + 1).add(row + 1).add(cells[card][column][row]);
    return b.done();
}

QByteArray invalid(int seat, int code)
{
    return Builder(cmd::invalid).add(seat).add(code).doneWithPlus();
}

QByteArray errored(int seat)
{
    return Builder(cmd::errored).add(seat).add(3).doneWithPlus();
}

QByteArray coverit(int seat, int card, int column, int row)
{
    return Builder(cmd::coverit).add(seat).add(card).add(column).add(row).doneWithPlus();
}

QByteArray newplayerinfo(int seat, const QString& name)
{
    return Builder(cmd::newplayerinfo).add(seat).add(name).add(0).done();
}

QByteArray playerdisconnected(int seat, const QString& name)
{
    return Builder(cmd::playerdisconnected).add(seat).add(name).done();
}

QByteArray chatRelay(int seat, const QString& name, const QByteArray& rest)
{
    return Builder(cmd::chat).add(seat).add(name.toUtf8() + " chats: " + rest).done();
}

QByteArray actionRelay(int seat, const QString& name, const QByteArray& rest)
{
    return Builder(cmd::action).add(seat).add(name.toUtf8() + ' ' + rest).done();
}

QByteArray playasoundRelay(int seat, const QByteArray& rest)
{
    return Builder(cmd::playasound).add(seat).add(rest).done();
}

QByteArray justwatching(int seat, int mode)
{
    return Builder(cmd::justwatching).add(seat).add(mode).done();
}

QByteArray startgameRelay(const QString& name, int playtoscore)
{
    return Builder(cmd::startgame).add(name).add(playtoscore).doneWithPlus();
}

QByteArray roundstart(int round, const std::array<bool, 5>& inRound)
{
    Builder b(cmd::roundstart);
    b.add(round);
    for (int i = 0; i < 5; ++i)
        b.add(i + 3).add(inRound[i] ? 1 : 0);
    return b.done();
}

QByteArray nextplayer(int seat)
{
    return Builder(cmd::nextplayer).add(seat).doneWithPlus();
}

QByteArray chooseballReveal(int seat, int position, int value, int bobs, int score, int penalty)
{
    return Builder(cmd::chooseball)
        .add(seat)
        .add(position)
        .add(value)
        .add(bobs)
        .add(score)
        .add(penalty)
        .doneWithPlus();
}

QByteArray scores(const QList<SeatScore>& seats)
{
    Builder b(cmd::scores);
    for (const SeatScore& s : seats) {
        b.add(s.seat).add(s.total).add(s.round);
        for (int points : s.patterns)
            b.add(points);
    }
    return b.done();
}

QByteArray winner(const QString& name)
{
    return Builder(cmd::winner).add(name).doneWithPlus();
}

// ---- Reading ----

namespace {

std::optional<int> numberOrNothing(const QByteArray& field)
{
    int value = 0;
    return Fields::parseNumber(field, &value) ? std::optional<int>(value) : std::nullopt;
}

} // namespace

LoginInfo LoginInfo::parse(const QByteArray& body)
{
    Fields f(body);
    LoginInfo m;
    m.seat = f.number();
    m.version = f.text();
    m.name = f.rest();
    return m;
}

Relayed Relayed::parse(const QByteArray& body)
{
    Fields f(body);
    Relayed m;
    m.seat = f.number();
    m.rest = f.rest();
    return m;
}

StartGame StartGame::parse(const QByteArray& body)
{
    Fields f(body);
    StartGame m;
    m.name = f.text();
    m.playtoscore = numberOrNothing(f.field());
    m.penalty = numberOrNothing(f.field());
    m.bobcount = numberOrNothing(f.field());
    m.botsfor = numberOrNothing(f.field());
    return m;
}

JustWatch JustWatch::parse(const QByteArray& body)
{
    Fields f(body);
    JustWatch m;
    m.seat = f.number();
    const QByteArray mode = f.field();
    m.mode = mode == "1" ? watch : mode == "2" ? play : 0;
    return m;
}

KickHim KickHim::parse(const QByteArray& body)
{
    Fields f(body);
    KickHim m;
    m.seat = f.number();
    m.target = f.number();
    return m;
}

ChooseBall ChooseBall::parse(const QByteArray& body)
{
    Fields f(body);
    ChooseBall m;
    m.seat = f.number();
    m.position = f.number();
    return m;
}

Cover Cover::parse(const QByteArray& body)
{
    Fields f(body);
    Cover m;
    m.seat = f.number();
    m.cell.card = f.number();
    const QByteArray cell = f.field();
    if (!Fields::parseNumber(cell.left(1), &m.cell.column) ||
        !Fields::parseNumber(cell.mid(1), &m.cell.row))
        throw FieldError(
            QStringLiteral("'%1' is not a valid card cell").arg(QString::fromUtf8(cell.left(64))));
    return m;
}

SendLoginInfo SendLoginInfo::parse(const QByteArray& body)
{
    return {Fields(body).number()};
}

PlayerList PlayerList::parse(const QByteArray& body)
{
    Fields f(body);
    PlayerList m;
    while (!f.atEnd()) {
        SeatInfo s;
        s.seat = f.number();
        s.name = f.text();
        s.watching = f.field() == "1";
        m.seats.append(s);
    }
    return m;
}

HaveWrongVersion HaveWrongVersion::parse(const QByteArray& body)
{
    return {QString::fromUtf8(body)};
}

GameStats GameStats::parse(const QByteArray& body)
{
    Fields f(body);
    GameStats m;
    m.turn = f.number();
    m.bobs = f.number();
    m.playtoscore = f.number();
    for (int& score : m.scores)
        score = f.number();
    while (!f.atEnd()) {
        Revealed r;
        r.position = f.number();
        r.value = f.number();
        m.revealed.append(r);
    }
    return m;
}

MyBoard MyBoard::parse(const QByteArray& body)
{
    Fields f(body);
    MyBoard m;
    m.seat = f.number();
    while (!f.atEnd()) {
        Entry e;
        e.cell.card = f.number();
        e.cell.column = f.number();
        e.cell.row = f.number();
        e.value = f.number();
        m.cells.append(e);
    }
    return m;
}

Refusal Refusal::parse(const QByteArray& body)
{
    Fields f(body);
    Refusal m;
    m.seat = f.number();
    m.code = f.number();
    return m;
}

CoverIt CoverIt::parse(const QByteArray& body)
{
    Fields f(body);
    CoverIt m;
    m.seat = f.number();
    m.cell.card = f.number();
    m.cell.column = f.number();
    m.cell.row = f.number();
    return m;
}

PlayerDisconnected PlayerDisconnected::parse(const QByteArray& body)
{
    Fields f(body);
    PlayerDisconnected m;
    m.seat = f.number();
    m.name = QString::fromUtf8(f.rest());
    return m;
}

ChatLine ChatLine::parse(const QByteArray& body)
{
    const QString payload = QString::fromUtf8(body);
    const qsizetype bar = payload.indexOf(QLatin1Char(colourSeparator));
    const QString line = bar < 0 ? payload : payload.left(bar);
    ChatLine m;
    if (bar >= 0)
        m.colour = payload.mid(bar + 1);
    const qsizetype plus = line.indexOf(QLatin1Char(fieldSeparator));
    m.seat = Fields((plus < 0 ? QString() : line.left(plus)).toUtf8()).number();
    m.text = line.mid(plus + 1);
    return m;
}

Sound Sound::parse(const QByteArray& body)
{
    Fields f(body);
    Sound m;
    m.seat = f.number();
    m.name = f.text();
    return m;
}

GameStarted GameStarted::parse(const QByteArray& body)
{
    Fields f(body);
    GameStarted m;
    m.name = f.text();
    m.playtoscore = f.text();
    return m;
}

RoundStart RoundStart::parse(const QByteArray& body)
{
    Fields f(body);
    RoundStart m;
    m.round = f.number();
    while (!f.atEnd()) {
        Seat s;
        s.seat = f.number();
        s.inRound = f.number() == 1;
        m.seats.append(s);
    }
    return m;
}

NextPlayer NextPlayer::parse(const QByteArray& body)
{
    return {Fields(body).number()};
}

Reveal Reveal::parse(const QByteArray& body)
{
    Fields f(body);
    Reveal m;
    m.seat = f.number();
    m.position = f.number();
    m.value = f.number();
    m.bobs = f.number();
    m.score = f.number();
    m.penalty = f.number();
    return m;
}

Scores Scores::parse(const QByteArray& body)
{
    Fields f(body);
    Scores m;
    while (!f.atEnd()) {
        SeatScore s;
        s.seat = f.number();
        s.total = f.number();
        s.round = f.number();
        for (int& points : s.patterns)
            points = f.number();
        m.seats.append(s);
    }
    return m;
}

Winner Winner::parse(const QByteArray& body)
{
    return {Fields(body).text()};
}

} // namespace msg
