#include "client/scoresheet.h"

#include "client/gamepictures.h"
#include "client/picturebutton.h"
#include "client/picturewidget.h"

#include <QLabel>

namespace {
QLabel* rowLabel(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(pictures::tableFont(13));
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setGeometry(left, top, width, 18);
    return label;
}
} // namespace

ScoreSheet::ScoreSheet(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_scoresheet"));
    setFixedSize(305, 257);
    setStyleSheet(pictures::panelStyle(objectName()));

    auto* title = new PictureWidget(&pictures::paintScoreTitle, this);
    title->setObjectName(QStringLiteral("image_scoretitle"));
    title->setGeometry(60, 8, 185, 28);
    auto* legend = new PictureWidget(&pictures::paintScoreLegend, this);
    legend->setObjectName(QStringLiteral("image_legend"));
    legend->setGeometry(8, 42, 108, 150);

    for (int seat = 1; seat <= rows; ++seat) {
        const int top = rowTops[std::size_t(seat - 1)];
        QLabel* name = rowLabel(this, QStringLiteral("label_name%1").arg(seat), 120, top, 95);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, name, seat](const QPoint& at) {
                    emit nameContextMenu(seat, name->mapToGlobal(at));
                });
        m_names[std::size_t(seat - 1)] = name;
        m_results[std::size_t(seat - 1)] =
            rowLabel(this, QStringLiteral("label_turnscore%1").arg(seat), 219, top, 70);
        auto* arrow = new PictureButton(
            [](QPainter& p, const QRectF& r) { pictures::paintArrow(p, r, true); }, this);
        arrow->setObjectName(QStringLiteral("image_more%1").arg(seat));
        arrow->setProperty("tag", seat);
        arrow->setGeometry(291, top, 12, 14);
        arrow->setAccessibleName(QStringLiteral("Details of seat %1").arg(seat));
        connect(arrow, &QAbstractButton::clicked, this, [this, seat] { emit moreClicked(seat); });
        m_arrows[std::size_t(seat - 1)] = arrow;
    }

    auto* ok = new PictureButton(
        [](QPainter& p, const QRectF& r) { pictures::paintWordButton(p, r, QStringLiteral("OK")); },
        this);
    ok->setObjectName(QStringLiteral("button_ok"));
    ok->setGeometry(122, 208, 60, 36);
    ok->setAccessibleName(QStringLiteral("OK"));
    connect(ok, &QAbstractButton::clicked, this, &ScoreSheet::okClicked);
    clearRows();
}

void ScoreSheet::clearRows()
{
    for (int i = 0; i < rows; ++i) {
        m_names[std::size_t(i)]->clear();
        m_names[std::size_t(i)]->setAccessibleName(QString());
        m_results[std::size_t(i)]->clear();
        m_arrows[std::size_t(i)]->hide();
    }
}

void ScoreSheet::setRow(int seat, const QString& name, const QString& result)
{
    if (seat < 1 || seat > rows)
        return;
    m_names[std::size_t(seat - 1)]->setText(name);
    // The row read as one: the name label speaks for the result beside it.
    m_names[std::size_t(seat - 1)]->setAccessibleName(
        QStringLiteral("Seat %1, %2, %3").arg(seat).arg(name, result));
    m_results[std::size_t(seat - 1)]->setText(result);
    m_arrows[std::size_t(seat - 1)]->show();
}

QString ScoreSheet::name(int seat) const
{
    return seat >= 1 && seat <= rows ? m_names[std::size_t(seat - 1)]->text() : QString();
}

QString ScoreSheet::result(int seat) const
{
    return seat >= 1 && seat <= rows ? m_results[std::size_t(seat - 1)]->text() : QString();
}

bool ScoreSheet::arrowShown(int seat) const
{
    return seat >= 1 && seat <= rows && !m_arrows[std::size_t(seat - 1)]->isHidden();
}

int ScoreSheet::arrowTop(int seat) const
{
    return seat >= 1 && seat <= rows ? m_arrows[std::size_t(seat - 1)]->y() : 0;
}
