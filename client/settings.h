#pragma once

#include "net/table.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <array>

class IniFile;

// A value of the game start dialog: the ends of its up-down control and one click's step.
struct ValueRange {
    int minimum;
    int maximum;
    int step;
    int bound(int value) const
    {
        return value < minimum ? minimum : value > maximum ? maximum : value;
    }
};
inline constexpr ValueRange playToScoreRange{1, 500, 50};
inline constexpr ValueRange penaltyRange{0, 20, 5};
inline constexpr ValueRange bobCountRange{3, 5, 1};
inline constexpr ValueRange botCountRange{1, 3, 1};
// Sizes the chat's fonts can sensibly take; anything else in the file counts as no number.
inline constexpr ValueRange textSizeRange{1, 72, 1};

// The options and game start values that the settings file keeps, as plain data. A
// default-made Settings is the program's built-in state before any file is read; load()
// applies the file over it with the file's own defaults for missing keys.
struct Settings {
    static inline const QString section = QStringLiteral("Quorvel");
    static constexpr int phraseCount = 9;
    static const std::array<QString, phraseCount> builtInPhrases;
    // Where the main window opens when the file says nothing.
    static constexpr QRect defaultBounds{3, 3, 772, 535};

    int textSize = 8;
    // Left, top, width and height as the file holds them; see placeableBounds() before
    // moving a window there.
    QRect bounds = defaultBounds;
    QColor textColour{Qt::black};
    // The game start dialog's values, kept in its ranges.
    int playToScore = 100;
    int penalty = 10;
    int bobCount = 5;
    int botCount = 1; // game type: which seats the computer fills, 1 to 3
    int botSpeedMs = table::defaultBotSpeedMs;
    int timeDelaySeconds = table::defaultSecondsBetweenRounds;
    int turnSound = 0; // 0 Classic, 1 New
    std::array<QString, phraseCount> phrases = builtInPhrases;
    bool playSounds = true;
    bool playerPhraseSounds = true;
    // Set by load() when the file asks for the first-run panel.
    bool showHelp = false;

    // Reads the section with every rule and default of the file's keys. The first-run
    // marker is then set to "2" in the file's content: save the file afterwards.
    void load(IniFile& ini);
    // Writes every key except the phrases and the first-run marker, in the file's order.
    void save(IniFile& ini) const;
    // The phrase editor's write: all nine keys, empty ones included.
    static void savePhrases(IniFile& ini, const std::array<QString, phraseCount>& phrases);
};

// Whole-file helpers for the main window and the phrase editor: read or write the file at
// path in one go. They return false when the file could not be written (or, for the
// load, read); the settings are applied all the same.
bool loadSettingsFile(const QString& path, Settings& settings, QString* error = nullptr);
bool saveSettingsFile(const QString& path, const Settings& settings, QString* error = nullptr);
bool savePhrasesFile(const QString& path, const std::array<QString, Settings::phraseCount>& phrases,
                     QString* error = nullptr);
