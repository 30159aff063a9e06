#include "client/winnerbanner.h"

#include "client/pictures.h"

#include <QLabel>

WinnerBanner::WinnerBanner(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_winner"));
    setFixedSize(434, 48);
    setStyleSheet(pictures::panelStyle(objectName()));
    label_winner1 = new QLabel(this);
    label_winner1->setObjectName(QStringLiteral("label_winner1"));
    label_winner1->setGeometry(rect());
    label_winner1->setAlignment(Qt::AlignCenter);
    label_winner1->setTextFormat(Qt::PlainText);
    label_winner1->setFont(pictures::tableFont(16));
    label_winner1->setStyleSheet(
        QStringLiteral("color: %1;").arg(pictures::styleColour(pictures::darkPurple)));
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
