#pragma once

#include "client/settings.h"
#include "client/tileddialog.h"

#include <array>

class PhraseButtons;
class QLineEdit;
class QPushButton;

// The editor of the nine phrase buttons' texts. Not modal: the table stays usable while
// it is open. Done applies the fields to the buttons and stores them in the settings file;
// closing it any other way keeps nothing.
class Tphrases : public TiledDialog {
    Q_OBJECT
public:
    static constexpr int phraseCount = Settings::phraseCount;
    static constexpr int maxPhraseLength = 50;

    explicit Tphrases(QWidget* parent = nullptr);

    void setPhraseButtons(PhraseButtons* buttons) { m_buttons = buttons; }
    void setSettingsPath(const QString& path) { m_iniPath = path; }

    // View "Phrase List": the buttons' phrases into the fields, then the window shown.
    void showPhrases();
    void button_doneClick();

    // Fields are numbered 1 to 9, like the buttons.
    QLineEdit* field(int index) const;
    QPushButton* doneButton() const { return button_done; }

private:
    std::array<QLineEdit*, phraseCount> m_fields{};
    QPushButton* button_done = nullptr;
    PhraseButtons* m_buttons = nullptr;
    QString m_iniPath;
};
