#include "client/soundloader.h"

#include "client/firstpaint.h"
#include "platform/logging.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibrary>

#include <algorithm>
#include <utility>

// Set by the build for the program; other builds of this file (fuzz replays) take the default.
#ifndef QUORVEL_SOUND_MODULE_DIR
#define QUORVEL_SOUND_MODULE_DIR "../lib/quorvel"
#endif

// The sounds live in the client library's resources; a static library must register them.
static void initSoundResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(quorvel);
        return true;
    }();
    Q_UNUSED(done);
}

SoundLoader::SoundLoader(QString modulePath, QObject* parent)
    : QObject(parent), m_modulePath(std::move(modulePath))
{
    initSoundResources();
}

QStringList SoundLoader::modulePlaces()
{
    const QString name = QStringLiteral("/quorvel_sound.so");
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder + name, folder + QStringLiteral("/" QUORVEL_SOUND_MODULE_DIR) + name};
}

bool SoundLoader::hasSound(const QString& name)
{
    initSoundResources();
    // Only plain names: a "/" or ".." must not reach into other resources.
    for (const QChar c : name)
        if (!c.isLetterOrNumber())
            return false;
    return !name.isEmpty() && QFile::exists(QStringLiteral(":/sounds/%1.wav").arg(name.toLower()));
}

void SoundLoader::loadAfterFirstPaint(QWidget* window)
{
    m_waiting = true;
    afterFirstPaint(window, [this] {
        m_waiting = false;
        load();
        if (!m_asked.isEmpty())
            play(std::exchange(m_asked, QString()));
    });
}

void SoundLoader::load()
{
    if (std::exchange(m_tried, true))
        return;
    const QStringList places = m_modulePath.isEmpty() ? modulePlaces() : QStringList{m_modulePath};
    const auto found = std::find_if(places.cbegin(), places.cend(),
                                    [](const QString& path) { return QFile::exists(path); });
    if (found == places.cend()) {
        qCWarning(lcClient).noquote()
            << "sounds are off: no sound module at" << places.join(" or ");
        return;
    }
    // Never unloaded: the player's code lives there until the process ends.
    QLibrary module(*found);
    using Make = SoundPlayer* (*)(QObject*);
    const auto make = reinterpret_cast<Make>(module.resolve("quorvel_sound_player"));
    if (!make) {
        qCWarning(lcClient).noquote() << "sounds are off:" << module.errorString();
        return;
    }
    m_player = make(this);
    m_player->onNoDevice([this] { reportNoDevice(); });
    qCInfo(lcClient).noquote() << "sound module loaded from" << *found;
}

void SoundLoader::play(const QString& name)
{
    if (!hasSound(name)) {
        qCDebug(lcClient) << "no sound named" << name;
        return;
    }
    if (m_waiting) {
        // A newer sound replaces an older one, as when playing.
        m_asked = name;
        return;
    }
    load();
    if (m_player)
        m_player->play(name);
}
