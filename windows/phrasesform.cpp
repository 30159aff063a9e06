#include "windows/phrasesform.h"

#include "client/phrasebuttons.h"
#include "client/settings.h"
#include "platform/logging.h"
#include "platform/placement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr int rowHeight = 24;

// Typing stops at the phrase limit, but a longer phrase from the settings file is shown
// whole. Such a phrase may be shortened, never lengthened.
void fitTypingLimit(QLineEdit* edit)
{
    const int room = std::max(Tphrases::maxPhraseLength, int(edit->text().size()));
    if (edit->maxLength() == room)
        return;
    const int cursor = edit->cursorPosition();
    edit->setMaxLength(room);
    edit->setCursorPosition(cursor);
}
} // namespace

Tphrases::Tphrases(QWidget* parent) : TiledDialog(parent)
{
    setObjectName(QStringLiteral("phrases"));
    setWindowTitle(QStringLiteral("Quorvel - Phrase Buttons "));
    setFixedSize(368, 265);

    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < phraseCount; ++i) {
        const int top = 8 + rowHeight * i;
        auto* label = new QLabel(QStringLiteral("Phrase Button %1:").arg(i + 1), this);
        label->setFont(bold);
        label->setGeometry(8, top, 110, 21);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase%1").arg(i + 1));
        edit->setMaxLength(maxPhraseLength);
        connect(edit, &QLineEdit::textChanged, this, [edit] { fitTypingLimit(edit); });
        edit->setGeometry(120, top, 240, 21);
        // Screen readers name the field after its label.
        label->setBuddy(edit);
        m_fields[std::size_t(i)] = edit;
    }
    auto* note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    note->setObjectName(QStringLiteral("label_note"));
    note->setGeometry(8, 8 + rowHeight * phraseCount + 4, 270, 21);

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(288, 8 + rowHeight * phraseCount + 2, 72, 25);
    connect(button_done, &QPushButton::clicked, this, &Tphrases::button_doneClick);
}

QLineEdit* Tphrases::field(int index) const
{
    return index >= 1 && index <= phraseCount ? m_fields[std::size_t(index - 1)] : nullptr;
}

void Tphrases::showPhrases()
{
    if (m_buttons) {
        for (int i = 1; i <= phraseCount; ++i) {
            const QString phrase = m_buttons->phrase(i);
            field(i)->setMaxLength(std::max(maxPhraseLength, int(phrase.size())));
            field(i)->setText(phrase);
        }
    }
    if (!isVisible())
        centreWindowOn(this, parentWidget());
    showInFront(this);
}

void Tphrases::button_doneClick()
{
    std::array<QString, Settings::phraseCount> phrases;
    for (int i = 1; i <= phraseCount; ++i) {
        phrases[std::size_t(i - 1)] = field(i)->text();
        if (m_buttons)
            m_buttons->setPhrase(i, field(i)->text());
    }
    if (!m_iniPath.isEmpty()) {
        QString error;
        if (!savePhrasesFile(m_iniPath, phrases, &error))
            qCWarning(lcWindows) << "phrases not written to" << m_iniPath << ":" << error;
    }
    close();
}
