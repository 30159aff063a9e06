#include "client/phrasebuttons.h"

#include "client/chattersounds.h"
#include "client/pictures.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

#include <chrono>

namespace {
constexpr QSize buttonSize{25, 19};
constexpr QSize iconSize{21, 15};
// Button tops relative to the first one.
constexpr std::array<int, PhraseButtons::phrases + 1> buttonTops{0,   21,  42,  64,  85,
                                                                 106, 127, 149, 170, 191};

QToolButton* chatButton(QWidget* parent, const QString& name, int top)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIconSize(iconSize);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(QRect(QPoint(0, top), buttonSize));
    return button;
}
} // namespace

PhraseGate::PhraseGate()
    : m_clock([] {
          using namespace std::chrono;
          return qint64(
              duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
      })
{
}

bool PhraseGate::isOpen() const
{
    return !m_closedAt || m_clock() - *m_closedAt >= restMs;
}

PhraseButtons::PhraseButtons(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("phrasebuttons"));
    setFixedSize(buttonSize.width(), buttonTops.back() + buttonSize.height());
    QList<QAbstractButton*> phraseButtons;
    for (int i = 0; i < phrases; ++i) {
        QToolButton* button =
            chatButton(this, QStringLiteral("b_phrase%1").arg(i + 1), buttonTops[std::size_t(i)]);
        phraseButtons.append(button);
        connect(button, &QToolButton::clicked, this, [this, i] { emit phraseClicked(i + 1); });
        m_buttons[std::size_t(i)] = button;
        setPhrase(i + 1, Settings::builtInPhrases[std::size_t(i)]);
    }

    pictures::iconWhenPainted(phraseButtons, iconSize, pictures::paintPhraseIcon);

    m_chatter = chatButton(this, QStringLiteral("b_phrase10"), buttonTops.back());
    pictures::iconWhenPainted({m_chatter}, iconSize, pictures::paintChatterIcon);
    m_chatter->setToolTip(QStringLiteral("Chatter Sounds"));
    m_chatter->setAccessibleName(m_chatter->toolTip());
    m_chatter->installEventFilter(this);

    m_sounds = new QMenu(this);
    m_sounds->setObjectName(QStringLiteral("popup_sounds"));
    m_sounds->setToolTipsVisible(true);
    QAction* cancel = m_sounds->addAction(QStringLiteral("<Cancel>"));
    cancel->setData(0);
    for (int tag = 1; tag <= chattersounds::count; ++tag) {
        QAction* item = m_sounds->addAction(chattersounds::title(tag));
        item->setObjectName(QStringLiteral("wave%1").arg(tag));
        item->setToolTip(chattersounds::title(tag));
        item->setData(tag);
    }
    connect(m_sounds, &QMenu::triggered, this,
            [this](QAction* item) { emit chatterSoundChosen(item->data().toInt()); });
}

QString PhraseButtons::phrase(int index) const
{
    return index >= 1 && index <= phrases ? m_phrases[std::size_t(index - 1)] : QString();
}

void PhraseButtons::setPhrase(int index, const QString& text)
{
    if (index < 1 || index > phrases)
        return;
    m_phrases[std::size_t(index - 1)] = text;
    m_buttons[std::size_t(index - 1)]->setToolTip(text);
    m_buttons[std::size_t(index - 1)]->setAccessibleName(
        QStringLiteral("Phrase %1: %2").arg(index).arg(text));
}

bool PhraseButtons::eventFilter(QObject* watched, QEvent* event)
{
    // Any mouse button opens the sound menu, at the button's bottom-right corner.
    if (watched == m_chatter && event->type() == QEvent::MouseButtonPress)
        return true;
    if (watched == m_chatter && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_chatter->rect().contains(mouse->position().toPoint()))
            m_sounds->popup(
                m_chatter->mapToGlobal(QPoint(m_chatter->width(), m_chatter->height())));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
