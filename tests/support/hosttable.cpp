#include "support/hosttable.h"

#include "net/messages.h"

#include <QTest>

HostTable::HostTable(int botSpeedMs, int secondsBetweenRounds, std::uint32_t seed)
{
    HostSettings settings;
    settings.botSpeedMs = [botSpeedMs] { return botSpeedMs; };
    settings.secondsBetweenRounds = [secondsBetweenRounds] { return secondsBetweenRounds; };
    m_server = std::make_unique<TServer>(settings, &errors);
    m_server->seedRandom(seed);
    if (!m_server->startListening(0))
        qFatal("host cannot listen on loopback");
}

HostTable::~HostTable()
{
    m_clients.clear();
    m_server.reset();
}

RawClient* HostTable::connect()
{
    auto client = std::make_unique<RawClient>();
    if (!client->connectTo(m_server->serverPort()) || client->waitFor(cmd::sendlogininfo) < 0)
        return nullptr;
    m_clients.push_back(std::move(client));
    return m_clients.back().get();
}

RawClient* HostTable::join(const QString& name, const QString& version)
{
    RawClient* client = connect();
    if (!client)
        return nullptr;
    const int seat = client->seat();
    client->sendRaw(msg::logininfo(seat, version, name));
    const QByteArray own = QByteArray(cmd::newplayerinfo) + '+' + QByteArray::number(seat) + '+';
    if (client->waitFor(own) < 0)
        return nullptr;
    return client;
}

void HostTable::startGame(RawClient* seatOne, int playtoscore, int penalty, int bobcount,
                          int gametype)
{
    const int from = int(seatOne->received.size());
    seatOne->sendRaw(msg::startgame("Host", QString::number(playtoscore), QString::number(penalty),
                                    QString::number(bobcount), gametype));
    if (seatOne->waitFor(cmd::nextplayer, from) < 0)
        qWarning("game did not start");
}

void HostTable::dropClient(RawClient* client)
{
    client->socket.disconnectFromHost();
    client->waitForClose();
}

QByteArray nameOf(const QByteArray& message)
{
    const qsizetype plus = message.indexOf('+');
    return plus < 0 ? message : message.left(plus);
}

QByteArrayList fieldsOf(const QByteArray& message)
{
    const qsizetype plus = message.indexOf('+');
    if (plus < 0)
        return {};
    QByteArrayList fields = message.mid(plus + 1).split('+');
    // A trailing "+" closes the last field rather than opening an empty one.
    if (message.endsWith('+'))
        fields.removeLast();
    return fields;
}

QList<int> numbersOf(const QByteArray& message)
{
    QList<int> numbers;
    for (const QByteArray& f : fieldsOf(message))
        numbers.append(f.toInt());
    return numbers;
}

rules::CardPair cardsOf(const QByteArray& myboard)
{
    rules::CardPair cards{};
    const QList<int> n = numbersOf(myboard);
    for (qsizetype i = 1; i + 3 < n.size(); i += 4) {
        const int card = n[i], x = n[i + 1], y = n[i + 2];
        if (rules::isCardNumber(card) && rules::Card::isCell(x, y))
            cards[std::size_t(card - 1)].at(x, y) = n[i + 3];
    }
    return cards;
}

QByteArrayList named(const RawClient& client, const char* name, int from)
{
    QByteArrayList result;
    for (int i = from; i < client.received.size(); ++i)
        if (nameOf(client.received.at(i)) == name)
            result.append(client.received.at(i));
    return result;
}
