#include "client/colournames.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace {
struct Basic {
    const char* name;
    quint32 bgr;
};
constexpr std::array<Basic, 16> basics{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

// System colour number → the palette entry that plays the same part on this desktop.
struct SystemColour {
    const char* name;
    int number;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};
constexpr std::array<SystemColour, 30> systemColours{{
    {"clScrollBar", 0, QPalette::Active, QPalette::Button},
    {"clBackground", 1, QPalette::Active, QPalette::Window},
    {"clActiveCaption", 2, QPalette::Active, QPalette::Highlight},
    {"clInactiveCaption", 3, QPalette::Inactive, QPalette::Highlight},
    {"clMenu", 4, QPalette::Active, QPalette::Window},
    {"clWindow", 5, QPalette::Active, QPalette::Base},
    {"clWindowFrame", 6, QPalette::Active, QPalette::Shadow},
    {"clMenuText", 7, QPalette::Active, QPalette::WindowText},
    {"clWindowText", 8, QPalette::Active, QPalette::Text},
    {"clCaptionText", 9, QPalette::Active, QPalette::HighlightedText},
    {"clActiveBorder", 10, QPalette::Active, QPalette::Window},
    {"clInactiveBorder", 11, QPalette::Inactive, QPalette::Window},
    {"clAppWorkSpace", 12, QPalette::Active, QPalette::Dark},
    {"clHighlight", 13, QPalette::Active, QPalette::Highlight},
    {"clHighlightText", 14, QPalette::Active, QPalette::HighlightedText},
    {"clBtnFace", 15, QPalette::Active, QPalette::Button},
    {"clBtnShadow", 16, QPalette::Active, QPalette::Dark},
    {"clGrayText", 17, QPalette::Disabled, QPalette::Text},
    {"clBtnText", 18, QPalette::Active, QPalette::ButtonText},
    {"clInactiveCaptionText", 19, QPalette::Inactive, QPalette::HighlightedText},
    {"clBtnHighlight", 20, QPalette::Active, QPalette::Light},
    {"cl3DDkShadow", 21, QPalette::Active, QPalette::Shadow},
    {"cl3DLight", 22, QPalette::Active, QPalette::Midlight},
    {"clInfoText", 23, QPalette::Active, QPalette::ToolTipText},
    {"clInfoBk", 24, QPalette::Active, QPalette::ToolTipBase},
    {"clHotLight", 26, QPalette::Active, QPalette::Link},
    {"clGradientActiveCaption", 27, QPalette::Active, QPalette::Highlight},
    {"clGradientInactiveCaption", 28, QPalette::Inactive, QPalette::Highlight},
    {"clMenuHighlight", 29, QPalette::Active, QPalette::Highlight},
    {"clMenuBar", 30, QPalette::Active, QPalette::Window},
}};

constexpr quint32 systemFlag = 0x80000000u;

QColor systemColour(const SystemColour& entry)
{
    // qGuiApp would also be set, wrongly typed, under a plain QCoreApplication.
    const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    const QPalette palette = gui ? QGuiApplication::palette() : QPalette(Qt::lightGray);
    return palette.color(entry.group, entry.role);
}

std::optional<quint32> number(QStringView text)
{
    bool ok = false;
    qulonglong value = 0;
    if (text.startsWith(QLatin1Char('$')))
        value = text.mid(1).toULongLong(&ok, 16);
    else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toULongLong(&ok, 16);
    else if (text.startsWith(QLatin1Char('-'))) {
        // Signed 32-bit form of the same numbers: system colours are negative there.
        const qlonglong signedValue = text.toLongLong(&ok, 10);
        ok = ok && signedValue >= -qlonglong(systemFlag);
        value = quint32(signedValue);
    } else
        value = text.toULongLong(&ok, 10);
    if (!ok || value > 0xFFFFFFFFull)
        return std::nullopt;
    return quint32(value);
}
} // namespace

quint32 colourValue(const QColor& colour)
{
    const QRgb rgb = colour.rgb();
    return quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16;
}

QColor colourFromValue(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF));
}

QString colourName(const QColor& colour)
{
    if (!colour.isValid())
        return QString::fromLatin1(basics[0].name);
    const quint32 value = colourValue(colour);
    for (const Basic& basic : basics) {
        if (basic.bgr == value)
            return QString::fromLatin1(basic.name);
    }
    return QStringLiteral("$%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<QColor> colourFromName(QStringView name)
{
    const QStringView text = name.trimmed();
    for (const Basic& basic : basics) {
        if (text.compare(QLatin1String(basic.name), Qt::CaseInsensitive) == 0)
            return colourFromValue(basic.bgr);
    }
    for (const SystemColour& entry : systemColours) {
        if (text.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return systemColour(entry);
    }
    const std::optional<quint32> value = number(text);
    if (!value)
        return std::nullopt;
    if ((*value & 0xFF000000u) == 0)
        return colourFromValue(*value);
    if ((*value & 0xFFFFFF00u) == systemFlag) {
        for (const SystemColour& entry : systemColours) {
            if (quint32(entry.number) == (*value & 0xFF))
                return systemColour(entry);
        }
    }
    return std::nullopt;
}
