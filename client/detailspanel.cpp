#include "client/detailspanel.h"

#include "client/gamepictures.h"
#include "client/picturebutton.h"

#include <QLabel>
#include <QListWidget>

#include <array>

DetailsPanel::DetailsPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_more"));
    setFixedSize(157, 137);
    setStyleSheet(pictures::panelStyle(objectName()));
    label_more = new QLabel(this);
    label_more->setObjectName(QStringLiteral("label_more"));
    label_more->setTextFormat(Qt::PlainText);
    label_more->setFont(pictures::tableFont(13));
    label_more->setGeometry(8, 6, 120, 18);

    listbox_more = new QListWidget(this);
    listbox_more->setObjectName(QStringLiteral("listbox_more"));
    listbox_more->setFont(pictures::tableFont(16, false));
    listbox_more->setFrameShape(QFrame::NoFrame);
    listbox_more->setStyleSheet(QStringLiteral("QListWidget { color: %1; background: %2; }")
                                    .arg(pictures::styleColour(pictures::darkPurple),
                                         pictures::styleColour(pictures::panelCream)));
    listbox_more->setGeometry(6, 26, 145, 105);

    auto* close = new PictureButton(
        [](QPainter& p, const QRectF& r) {
            pictures::paintWordButton(p, r, QStringLiteral("X"), pictures::darkPurple);
        },
        this);
    close->setObjectName(QStringLiteral("FlatButton1"));
    close->setGeometry(132, 5, 19, 19);
    connect(close, &QAbstractButton::clicked, this, &QWidget::hide);
}

void DetailsPanel::showDetails(const QString& name, const std::array<int, 7>& patterns)
{
    static const char* const captions[] = {
        "Covered: ", "Lines: ", "Corners: ", "Cross: ", "X: ", "Square: ", "Blackout: "};
    listbox_more->clear();
    for (std::size_t i = 0; i < patterns.size(); ++i)
        if (patterns[i] != 0)
            listbox_more->addItem(QString::fromLatin1(captions[i]) + QString::number(patterns[i]));
    label_more->setText(name);
    show();
}

QStringList DetailsPanel::lines() const
{
    QStringList result;
    for (int i = 0; i < listbox_more->count(); ++i)
        result.append(listbox_more->item(i)->text());
    return result;
}

QString DetailsPanel::name() const
{
    return label_more->text();
}
