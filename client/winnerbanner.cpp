#include "client/winnerbanner.h"

#include <QLabel>

WinnerBanner::WinnerBanner(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_winner"));
    setFixedSize(434, 48);
    setStyleSheet(QStringLiteral("#panel_winner { background: rgb(247, 242, 223);"
                                 " border: 3px solid rgb(64, 0, 64); }"));
    label_winner1 = new QLabel(this);
    label_winner1->setObjectName(QStringLiteral("label_winner1"));
    label_winner1->setGeometry(rect());
    label_winner1->setAlignment(Qt::AlignCenter);
    label_winner1->setTextFormat(Qt::PlainText);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    label_winner1->setFont(font);
    label_winner1->setStyleSheet(QStringLiteral("color: rgb(64, 0, 64);"));
}

void WinnerBanner::showLine(const QString& text)
{
    label_winner1->setText(text);
    show();
}

QString WinnerBanner::text() const
{
    return label_winner1->text();
}
