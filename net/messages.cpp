#include "net/messages.h"

namespace msg {
namespace {

// Builds "<name>+<f1>+<f2>…" with an optional trailing "+".
class Builder {
public:
    explicit Builder(const char* name) : m_text(name) {}
    Builder& add(int value)
    {
        m_text += '+';
        m_text += QByteArray::number(value);
        return *this;
    }
    Builder& add(const QByteArray& text)
    {
        m_text += '+';
        m_text += text;
        return *this;
    }
    Builder& add(const QString& text) { return add(text.toUtf8()); }
    QByteArray done() const { return frame(m_text); }
    QByteArray doneWithPlus() const { return frame(m_text + '+'); }

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

QByteArray bodyOf(const QByteArray& wire)
{
    const qsizetype plus = wire.indexOf('+');
    if (plus < 0)
        return {};
    const qsizetype end = wire.indexOf(terminator, plus);
    return wire.mid(plus + 1, (end < 0 ? wire.size() : end) - plus - 1);
}

QByteArray chooseballBody(int seat, int position)
{
    return bodyOf(chooseball(seat, position));
}

QByteArray coverBody(int seat, int card, int column, int row)
{
    return bodyOf(cover(seat, card, column, row));
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

} // namespace msg
