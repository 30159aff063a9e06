#include "support/clienttable.h"
#include "support/settingsfolder.h"

#include "net/messages.h"
#include "support/finders.h"

#include <QTest>

ClientTable::ClientTable()
{
    host.listen();
    m_lobby.listen(QHostAddress::LocalHost, 0);
}

ClientTable::~ClientTable()
{
    // Windows first: their connections close before the host's sockets go.
    players.clear();
}

ClientTable::Player* ClientTable::join(const QString& name, int seat, bool announce)
{
    auto player = std::make_unique<Player>();
    LaunchOptions options;
    options.settingsFolder = freshSettingsFolder();
    options.arguments = {name, QStringLiteral("127.0.0.1"), QStringLiteral("join")};
    options.gamePort = host.port();
    options.lobbyPort = m_lobby.serverPort();
    player->program = std::make_unique<Program>(options, &errors, &player->sounds);
    player->seat = seat;
    player->name = name;
    player->chat().show();
    player->client = host.waitForClient();
    if (player->client < 0)
        return nullptr;
    host.send(player->client, msg::sendlogininfo(seat));
    if (host.waitFor(player->client, QByteArray(cmd::logininfo) + '+') < 0)
        return nullptr;
    Player* result = player.get();
    players.push_back(std::move(player));
    if (announce) {
        sendAll(msg::newplayerinfo(seat, name));
        QList<msg::SeatInfo> others;
        for (const auto& p : players)
            if (p.get() != result)
                others.append({p->seat, p->name, false});
        if (!others.isEmpty())
            send(result, msg::existingplayers(others));
    }
    return result;
}

void ClientTable::send(Player* player, const QByteArray& wire)
{
    feed(player->chat(), wire);
}

void ClientTable::sendAll(const QByteArray& wire)
{
    for (const auto& p : players)
        if (p->chat().clientSocket().state() == QAbstractSocket::ConnectedState)
            send(p.get(), wire);
}

msg::CardCells dealtCards()
{
    msg::CardCells cells{};
    for (int c = 0; c < 2; ++c)
        for (int x = 0; x < 5; ++x)
            for (int y = 0; y < 5; ++y)
                cells[std::size_t(c)][std::size_t(x)][std::size_t(y)] = 15 * x + 5 * c + y + 1;
    return cells;
}
