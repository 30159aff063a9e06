#pragma once

#include <QWidget>

#include <array>

class QMenu;
class QToolButton;

// The column of chat buttons left of the chat: nine phrase buttons, each sending its
// phrase (shown as its tooltip), and the chatter-sound button with its menu.
class PhraseButtons : public QWidget {
    Q_OBJECT
public:
    static constexpr int phrases = 9;
    static const std::array<const char*, phrases> defaultPhrases;

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
