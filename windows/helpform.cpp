#include "windows/helpform.h"

#include "platform/logging.h"
#include "platform/placement.h"
#include "ui_helpform.h"

#include <QTextBrowser>

namespace {
constexpr int topicBorder = 5;
} // namespace

Thelp::Thelp(QWidget* parent) : TiledDialog(parent), m_ui(std::make_unique<Ui::Thelp>())
{
    m_ui->setupUi(this);
    resize(556, 422);
    const auto buttons = m_ui->panel_side->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->property("tag").isValid())
            connect(button, &QPushButton::clicked, this, &Thelp::SelButton1Click);
    }
    for (QTextBrowser* memo : m_ui->stack_topics->findChildren<QTextBrowser*>())
        memo->document()->setDocumentMargin(topicBorder);
    connect(m_ui->button_done, &QPushButton::clicked, this, &Thelp::button_doneClick);
    connect(m_ui->button_about, &QPushButton::clicked, this, &Thelp::button_aboutClick);
    selectTopic(1, m_ui->SelButton1->text());
}

Thelp::~Thelp() = default;

int Thelp::currentTopic() const
{
    const QWidget* front = m_ui->stack_topics->currentWidget();
    return front ? front->objectName().mid(4).toInt() : 0;
}

void Thelp::showHelp()
{
    if (!isVisible())
        centreWindowOn(this, m_mainWindow);
    showInFront(this);
}

// Shared by every topic button: its tag names the box to bring to the front.
void Thelp::SelButton1Click()
{
    if (const auto* button = qobject_cast<QPushButton*>(sender()))
        selectTopic(button->property("tag").toInt(), button->text());
}

void Thelp::selectTopic(int tag, const QString& caption)
{
    auto* memo = m_ui->stack_topics->findChild<QTextBrowser*>(QStringLiteral("memo%1").arg(tag));
    if (!memo) {
        qCWarning(lcWindows) << "no help topic" << tag;
        return;
    }
    m_ui->stack_topics->setCurrentWidget(memo);
    m_ui->label_caption->setText(caption);
}

void Thelp::button_doneClick()
{
    hide();
}

void Thelp::button_aboutClick()
{
    emit aboutRequested();
}
