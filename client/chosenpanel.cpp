#include "client/chosenpanel.h"

#include "client/gamepictures.h"
#include "client/picturewidget.h"

#include <QLabel>

namespace {
constexpr std::array<int, 5> columnLefts{9, 74, 142, 211, 273};
constexpr int firstRowTop = 77;
constexpr int lastRowTop = 477;

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

const QColor ChosenPanel::notChosen(81, 81, 81);
const QColor ChosenPanel::chosen(194, 164, 204);

ChosenPanel::ChosenPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_choosen"));
    setFixedSize(324, 519);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);

    const QFont font = pictures::tableFont(24);
    for (int column = 0; column < 5; ++column) {
        const int first = 15 * column + 1;
        auto* header = new PictureWidget(
            [first](QPainter& p, const QRectF& r) {
                pictures::paintWordButton(p, r, pictures::ballLetter(first));
            },
            this);
        header->setGeometry(columnLefts[std::size_t(column)], 20, 42, 42);
        for (int row = 0; row < 15; ++row) {
            const int number = first + row;
            auto* label = new QLabel(QString::number(number), this);
            label->setObjectName(QStringLiteral("label_choosen%1").arg(number));
            label->setFont(font);
            label->setTextFormat(Qt::PlainText);
            label->setGeometry(columnLefts[std::size_t(column)],
                               firstRowTop + row * (lastRowTop - firstRowTop) / 14, 48, 28);
            m_labels[std::size_t(number - 1)] = label;
        }
    }
    reset();
}

void ChosenPanel::setChosen(int number)
{
    if (number < 1 || number > numbers)
        return;
    m_chosen[std::size_t(number - 1)] = true;
    setTextColour(m_labels[std::size_t(number - 1)], chosen);
}

bool ChosenPanel::isChosen(int number) const
{
    return number >= 1 && number <= numbers && m_chosen[std::size_t(number - 1)];
}

void ChosenPanel::reset()
{
    m_chosen.fill(false);
    for (QLabel* label : m_labels)
        setTextColour(label, notChosen);
}
