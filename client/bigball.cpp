#include "client/bigball.h"

#include "client/gamepictures.h"
#include "client/picturewidget.h"
#include "client/tableaccess.h"

#include <QLabel>

BigBall::BigBall(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("panel_bigball"));
    setFixedSize(134, 121);
    auto* ball = new PictureWidget(&pictures::paintBigBall, this);
    ball->setObjectName(QStringLiteral("image_bigball"));
    ball->setGeometry(rect());
    label_bigball = new QLabel(this);
    label_bigball->setObjectName(QStringLiteral("label_bigball"));
    label_bigball->setGeometry(rect());
    label_bigball->setAlignment(Qt::AlignCenter);
    label_bigball->setTextFormat(Qt::PlainText);
    label_bigball->setFont(pictures::tableFont(51, false));
    QPalette palette = label_bigball->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label_bigball->setPalette(palette);
    image_bobball = new PictureWidget(&pictures::paintBobBall, this);
    image_bobball->setObjectName(QStringLiteral("image_bobball"));
    image_bobball->setGeometry(rect());
    setAccessibleName(QStringLiteral("Ball"));
    tableaccess::setValue(this, QString());
}

QString BigBall::text() const
{
    return label_bigball->text();
}

void BigBall::showText(const QString& text)
{
    label_bigball->setText(text);
    image_bobball->hide();
    tableaccess::setValue(this, text);
}

void BigBall::showBob()
{
    label_bigball->clear();
    image_bobball->show();
    tableaccess::setValue(this, QStringLiteral("Zorer Aru"));
}

bool BigBall::bobShown() const
{
    return !image_bobball->isHidden();
}
