#include "client/settings.h"

#include "client/colournames.h"
#include "platform/inifile.h"

#include <algorithm>
#include <optional>

const std::array<QString, Settings::phraseCount> Settings::builtInPhrases{
    QStringLiteral("Way To Go!"),
    QStringLiteral("Good One!"),
    QStringLiteral("Nice Try!"),
    QStringLiteral("Excellent!"),
    QStringLiteral("Brilliant!"),
    QStringLiteral("Wow, WTG!"),
    QStringLiteral("Thanks!"),
    QStringLiteral("Way To Go Teamie!"),
    QStringLiteral("Good Game Everyone!"),
};

namespace {
std::optional<int> decimal(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString phraseKey(int index)
{
    return QStringLiteral("Phrase%1").arg(index + 1);
}

QString flag(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

void Settings::load(IniFile& ini)
{
    const auto read = [&ini](const char* key, const char* fallback) {
        return ini.value(section, QString::fromLatin1(key), QString::fromLatin1(fallback));
    };
    const auto integer = [&read](const char* key, int fallback) {
        return decimal(read(key, "")).value_or(fallback);
    };

    const std::optional<int> size = decimal(read("Textsize", "8"));
    textSize = size && textSizeRange.bound(*size) == *size ? *size : 8;

    // Bounded only so that sums of them cannot overflow; placeableBounds() judges them.
    const auto coordinate = [&integer](const char* key, int fallback) {
        constexpr int limit = 1 << 20;
        return std::clamp(integer(key, fallback), -limit, limit);
    };
    bounds = QRect(coordinate("Left", defaultBounds.left()), coordinate("Top", defaultBounds.top()),
                   coordinate("Width", defaultBounds.width()),
                   coordinate("Height", defaultBounds.height()));

    textColour = colourFromName(read("Textcolor", "clblack")).value_or(QColor(Qt::black));

    // Like the dialog's controls: a value that is no number leaves the current one.
    if (const auto value = decimal(read("Playtoscore", "30")))
        playToScore = playToScoreRange.bound(*value);
    if (const auto value = decimal(read("Bob", "10")))
        penalty = penaltyRange.bound(*value);
    if (const auto value = decimal(read("Bobcount", "5")))
        bobCount = bobCountRange.bound(*value);
    botCount = botCountRange.bound(decimal(read("Botcount", "5")).value_or(1));

    const QString speed = read("Botspeed", "");
    botSpeedMs = speed == QLatin1String("1500")  ? 1500
                 : speed == QLatin1String("250") ? 250
                                                 : table::defaultBotSpeedMs;
    const QString delay = read("Timedelay", "");
    timeDelaySeconds = delay == QLatin1String("10")   ? 10
                       : delay == QLatin1String("25") ? 25
                                                      : table::defaultSecondsBetweenRounds;
    turnSound = read("Turnsound", "0") == QLatin1String("1") ? 1 : 0;

    for (int i = 0; i < phraseCount; ++i) {
        const QString phrase = ini.value(section, phraseKey(i), QString());
        if (!phrase.isEmpty())
            phrases[size_t(i)] = phrase;
    }

    playSounds = read("Playsounds", "true") != QLatin1String("false");
    playerPhraseSounds = read("Playerphrasesounds", "true") != QLatin1String("false");

    showHelp = read("Help", "1") == QLatin1String("1");
    ini.setValue(section, QStringLiteral("Help"), QStringLiteral("2"));
}

void Settings::save(IniFile& ini) const
{
    const auto write = [&ini](const char* key, const QString& value) {
        ini.setValue(section, QString::fromLatin1(key), value);
    };
    write("Textsize", QString::number(textSize));
    write("Top", QString::number(bounds.top()));
    write("Left", QString::number(bounds.left()));
    write("Width", QString::number(bounds.width()));
    write("Height", QString::number(bounds.height()));
    write("Textcolor", colourName(textColour));
    write("Playtoscore", QString::number(playToScore));
    write("Bob", QString::number(penalty));
    write("Bobcount", QString::number(bobCount));
    write("Botcount", QString::number(botCount));
    write("Botspeed", QString::number(botSpeedMs));
    write("Timedelay", QString::number(timeDelaySeconds));
    write("Turnsound", QString::number(turnSound));
    write("Playerphrasesounds", flag(playerPhraseSounds));
    write("Playsounds", flag(playSounds));
}

void Settings::savePhrases(IniFile& ini, const std::array<QString, phraseCount>& phrases)
{
    for (int i = 0; i < phraseCount; ++i)
        ini.setValue(section, phraseKey(i), phrases[size_t(i)]);
}

namespace {
bool finish(IniFile& ini, QString* error)
{
    const bool saved = ini.save();
    if (error)
        *error = ini.errorString();
    return saved;
}
} // namespace

bool loadSettingsFile(const QString& path, Settings& settings, QString* error)
{
    IniFile ini(path);
    const bool read = ini.load();
    settings.load(ini);
    if (!read) {
        if (error)
            *error = ini.errorString();
        return false;
    }
    return finish(ini, error);
}

bool saveSettingsFile(const QString& path, const Settings& settings, QString* error)
{
    IniFile ini(path);
    ini.load();
    settings.save(ini);
    return finish(ini, error);
}

bool savePhrasesFile(const QString& path, const std::array<QString, Settings::phraseCount>& phrases,
                     QString* error)
{
    IniFile ini(path);
    ini.load();
    Settings::savePhrases(ini, phrases);
    return finish(ini, error);
}
