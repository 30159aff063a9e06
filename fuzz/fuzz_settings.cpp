// libFuzzer target: the settings file as any bytes. Whatever it holds, every value read
// stays in its range, and what is written back reads the same and writes the same again.
#include "client/settings.h"
#include "platform/inifile.h"

#include <cstdint>
#include <cstdlib>

namespace {
bool same(const Settings& a, const Settings& b)
{
    return a.textSize == b.textSize && a.bounds == b.bounds &&
           a.textColour.rgb() == b.textColour.rgb() && a.playToScore == b.playToScore &&
           a.penalty == b.penalty && a.bobCount == b.bobCount && a.botCount == b.botCount &&
           a.botSpeedMs == b.botSpeedMs && a.timeDelaySeconds == b.timeDelaySeconds &&
           a.turnSound == b.turnSound && a.phrases == b.phrases && a.playSounds == b.playSounds &&
           a.playerPhraseSounds == b.playerPhraseSounds;
}

bool inRange(const Settings& s)
{
    const auto within = [](ValueRange range, int value) { return range.bound(value) == value; };
    constexpr int limit = 1 << 20;
    const auto coordinate = [](int value) { return value >= -limit && value <= limit; };
    return within(textSizeRange, s.textSize) && within(playToScoreRange, s.playToScore) &&
           within(penaltyRange, s.penalty) && within(bobCountRange, s.bobCount) &&
           within(botCountRange, s.botCount) &&
           (s.botSpeedMs == 250 || s.botSpeedMs == 750 || s.botSpeedMs == 1500) &&
           (s.timeDelaySeconds == 10 || s.timeDelaySeconds == 15 || s.timeDelaySeconds == 25) &&
           (s.turnSound == 0 || s.turnSound == 1) && coordinate(s.bounds.left()) &&
           coordinate(s.bounds.top()) && coordinate(s.bounds.width()) &&
           coordinate(s.bounds.height()) && s.textColour.isValid();
}

// Reads the bytes as the program does at start, then writes every key back.
QByteArray readAndWrite(const QByteArray& bytes, Settings& settings)
{
    IniFile ini;
    ini.setBytes(bytes);
    settings.load(ini);
    settings.save(ini);
    Settings::savePhrases(ini, settings.phrases);
    return ini.bytes();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Settings first;
    const QByteArray written = readAndWrite(bytes, first);
    if (!inRange(first))
        std::abort();
    // Writing may tidy a value once (a line break in a phrase becomes a blank); from then
    // on the file is stable.
    Settings second;
    const QByteArray again = readAndWrite(written, second);
    Settings third;
    if (!inRange(second) || readAndWrite(again, third) != again || !same(second, third))
        std::abort();
    return 0;
}
