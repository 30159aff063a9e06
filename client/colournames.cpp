#include "client/colournames.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace colournames {
namespace {

struct Named {
    const char* name;
    quint32 value;
};

// The sixteen basic colours, the ones written by name.
constexpr std::array<Named, 16> basic{{
    {"clBlack", 0x000000},  {"clMaroon", 0x000080}, {"clGreen", 0x008000},
    {"clOlive", 0x008080},  {"clNavy", 0x800000},   {"clPurple", 0x800080},
    {"clTeal", 0x808000},   {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},    {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

// Further names the toolkit reads but never writes.
constexpr std::array<Named, 4> extended{{
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
}};

struct SystemColour {
    const char* name;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// System colours in their index order (a number 0x800000nn names entry nn); the palette
// role is this platform's nearest match.
constexpr std::array<SystemColour, 31> systemColours{{
    {"clScrollBar", QPalette::Active, QPalette::Button},
    {"clBackground", QPalette::Active, QPalette::Window},
    {"clActiveCaption", QPalette::Active, QPalette::Highlight},
    {"clInactiveCaption", QPalette::Inactive, QPalette::Highlight},
    {"clMenu", QPalette::Active, QPalette::Window},
    {"clWindow", QPalette::Active, QPalette::Base},
    {"clWindowFrame", QPalette::Active, QPalette::Shadow},
    {"clMenuText", QPalette::Active, QPalette::WindowText},
    {"clWindowText", QPalette::Active, QPalette::WindowText},
    {"clCaptionText", QPalette::Active, QPalette::HighlightedText},
    {"clActiveBorder", QPalette::Active, QPalette::Window},
    {"clInactiveBorder", QPalette::Inactive, QPalette::Window},
    {"clAppWorkSpace", QPalette::Active, QPalette::Dark},
    {"clHighlight", QPalette::Active, QPalette::Highlight},
    {"clHighlightText", QPalette::Active, QPalette::HighlightedText},
    {"clBtnFace", QPalette::Active, QPalette::Button},
    {"clBtnShadow", QPalette::Active, QPalette::Dark},
    {"clGrayText", QPalette::Disabled, QPalette::Text},
    {"clBtnText", QPalette::Active, QPalette::ButtonText},
    {"clInactiveCaptionText", QPalette::Inactive, QPalette::HighlightedText},
    {"clBtnHighlight", QPalette::Active, QPalette::Light},
    {"cl3DDkShadow", QPalette::Active, QPalette::Shadow},
    {"cl3DLight", QPalette::Active, QPalette::Midlight},
    {"clInfoText", QPalette::Active, QPalette::ToolTipText},
    {"clInfoBk", QPalette::Active, QPalette::ToolTipBase},
    {nullptr, QPalette::Active, QPalette::NoRole},
    {"clHotLight", QPalette::Active, QPalette::Link},
    {"clGradientActiveCaption", QPalette::Active, QPalette::Highlight},
    {"clGradientInactiveCaption", QPalette::Inactive, QPalette::Highlight},
    {"clMenuHighlight", QPalette::Active, QPalette::Highlight},
    {"clMenuBar", QPalette::Active, QPalette::Window},
}};

constexpr quint32 systemColourBase = 0x80000000u;

QColor systemColour(const SystemColour& entry)
{
    return QGuiApplication::palette().color(entry.group, entry.role);
}

std::optional<quint32> parseNumber(const QString& text)
{
    bool ok = false;
    qint64 value = 0;
    if (text.startsWith(QLatin1Char('$')))
        value = text.mid(1).toLongLong(&ok, 16);
    else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toLongLong(&ok, 16);
    else
        value = text.toLongLong(&ok, 10);
    // Negative numbers are the system colours written as signed 32-bit values.
    if (!ok || value > 0xFFFFFFFFLL || value < -0x80000000LL)
        return std::nullopt;
    return quint32(value);
}

} // namespace

quint32 toValue(const QColor& colour)
{
    return quint32(colour.blue()) << 16 | quint32(colour.green()) << 8 | quint32(colour.red());
}

QColor fromValue(quint32 value)
{
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

QString toName(const QColor& colour)
{
    const quint32 value = toValue(colour);
    for (const Named& n : basic)
        if (n.value == value)
            return QString::fromLatin1(n.name);
    return QStringLiteral("$%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<QColor> fromName(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const Named& n : basic)
        if (trimmed.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return fromValue(n.value);
    for (const Named& n : extended)
        if (trimmed.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return fromValue(n.value);
    for (const SystemColour& s : systemColours)
        if (s.name && trimmed.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
            return systemColour(s);
    const std::optional<quint32> number = parseNumber(trimmed);
    if (!number)
        return std::nullopt;
    if ((*number & 0xFF000000u) == 0)
        return fromValue(*number);
    if ((*number & 0xFFFFFF00u) == systemColourBase) {
        const quint32 index = *number & 0xFFu;
        if (index < systemColours.size() && systemColours[index].name)
            return systemColour(systemColours[index]);
    }
    return std::nullopt;
}

} // namespace colournames
