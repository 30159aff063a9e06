#pragma once

#include <QString>

#include <array>

// The twenty chatter sounds players send one another: item n of the sound menu plays the
// sound resource "wave<n>" and shows this title.
namespace chattersounds {

inline constexpr int count = 20;

inline constexpr std::array<const char*, count> titles{
    "Doh",       "Cough",    "Hello",          "Thank You",    "Where have you been?",
    "Snoring",   "Sneezing", "Sorry",          "Welcome",      "Yeehaa",
    "Yippee",    "Oh No",    "Applause",       "Honk",         "Oooh",
    "Razzberry", "Cheer",    "Woman Laughing", "Man Laughing", "Crying",
};

inline QString title(int tag)
{
    return tag >= 1 && tag <= count ? QString::fromLatin1(titles[std::size_t(tag - 1)]) : QString();
}

// The item number of a sound name such as "wave3", in any letter case; 0 for no item.
inline int tagOf(const QString& name)
{
    if (!name.startsWith(QLatin1String("wave"), Qt::CaseInsensitive))
        return 0;
    const QString digits = name.mid(4);
    if (digits.isEmpty() || digits.size() > 2 || digits.startsWith(QLatin1Char('0')))
        return 0;
    bool ok = false;
    const int tag = digits.toInt(&ok);
    return ok && tag >= 1 && tag <= count ? tag : 0;
}

} // namespace chattersounds
