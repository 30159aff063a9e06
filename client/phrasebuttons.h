#pragma once

#include "client/settings.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QMenu;
class QToolButton;

// After a phrase is sent the phrase buttons rest for two seconds. The gate compares clock
// readings when asked, so nothing runs while it waits.
class PhraseGate {
public:
    static constexpr qint64 restMs = 2000;
    // Milliseconds from any fixed point; tests put in their own.
    using Clock = std::function<qint64()>;

    PhraseGate();
    void setClock(Clock clock) { m_clock = std::move(clock); }
    bool isOpen() const;
    // A phrase has just been sent.
    void close() { m_closedAt = m_clock(); }

private:
    Clock m_clock;
    std::optional<qint64> m_closedAt;
};

// The column of chat buttons left of the chat: nine phrase buttons, each sending its
// phrase (shown as its tooltip), and the chatter-sound button with its menu.
class PhraseButtons : public QWidget {
    Q_OBJECT
public:
    static constexpr int phrases = Settings::phraseCount;

    explicit PhraseButtons(QWidget* parent = nullptr);

    // Phrases are numbered 1 to 9.
    QString phrase(int index) const;
    void setPhrase(int index, const QString& text);
    QMenu* soundsMenu() const { return m_sounds; }

signals:
    void phraseClicked(int index);
    // An item of the sound menu was chosen: 0 for "<Cancel>", else 1 to 20.
    void chatterSoundChosen(int tag);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QToolButton*, phrases> m_buttons{};
    std::array<QString, phrases> m_phrases{};
    QToolButton* m_chatter = nullptr;
    QMenu* m_sounds = nullptr;
};
