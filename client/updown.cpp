#include "client/updown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    const auto setUp = [](QToolButton* button, const char* name, Qt::ArrowType arrow) {
        button->setObjectName(QLatin1String(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    };
    setUp(m_up, "up", Qt::UpArrow);
    setUp(m_down, "down", Qt::DownArrow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setMinimum(int minimum)
{
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
    setPosition(m_position);
}

void UpDown::setMaximum(int maximum)
{
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
    setPosition(m_position);
}

void UpDown::setIncrement(int increment)
{
    m_increment = std::max(1, increment);
}

void UpDown::setPosition(int position)
{
    const int bounded = std::clamp(position, m_minimum, m_maximum);
    if (bounded == m_position)
        return;
    m_position = bounded;
    showPosition();
    emit positionChanged(m_position);
}

void UpDown::stepUp()
{
    // Compared before adding so that a step near INT_MAX cannot overflow.
    setPosition(m_maximum - m_position < m_increment ? m_maximum : m_position + m_increment);
}

void UpDown::stepDown()
{
    setPosition(m_position - m_minimum < m_increment ? m_minimum : m_position - m_increment);
}

void UpDown::setAssociate(QLineEdit* edit)
{
    if (m_associate)
        m_associate->removeEventFilter(this);
    m_associate = edit;
    if (edit)
        edit->installEventFilter(this);
    showPosition();
}

void UpDown::showPosition()
{
    if (m_associate)
        m_associate->setText(QString::number(m_position));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: the edit also passes its events on while it is being destroyed.
    if (event->type() == QEvent::KeyPress && watched == m_associate) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            key == Qt::Key_Up ? stepUp() : stepDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
