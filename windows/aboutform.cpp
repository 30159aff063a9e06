#include "windows/aboutform.h"
#include "net/table.h"

#include "client/logo.h"
#include "net/messages.h"
#include "platform/placement.h"
#include "platform/shellopen.h"
#include "ui_aboutform.h"

#include <QDate>
#include <QMessageBox>
#include <QMouseEvent>

Tabout::Tabout(QWidget* parent)
    : TiledDialog(parent), m_ui(std::make_unique<Ui::Tabout>()), m_opener(&ShellOpener::system())
{
    m_ui->setupUi(this);
    setFixedSize(304, 174);
    m_ui->image_logo->setPixmap(quorvelLogo(devicePixelRatioF()));
    m_ui->label_url->setText(QString::fromLatin1(productAddress));
    QFont link = m_ui->label_url->font();
    link.setUnderline(true);
    m_ui->label_url->setFont(link);
    QPalette linkColour = m_ui->label_url->palette();
    linkColour.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_ui->label_url->setPalette(linkColour);
    // The version the client reports at login, so both always agree.
    m_ui->version->setText(table::version());
    m_ui->label_year->setText(QString::number(QDate::currentDate().year()));

    m_ui->label_url->installEventFilter(this);
    m_ui->image_logo->installEventFilter(this);
    connect(m_ui->button_done, &QPushButton::clicked, this, &Tabout::button_doneClick);
}

Tabout::~Tabout() = default;

void Tabout::setShellOpener(ShellOpener* opener)
{
    m_opener = opener ? opener : &ShellOpener::system();
}

void Tabout::showAbout()
{
    if (!isVisible())
        centreWindowOn(this, m_mainWindow);
    showInFront(this);
}

bool Tabout::eventFilter(QObject* watched, QEvent* event)
{
    // The link label and the logo share the click, which is a left button let go over them.
    if ((watched == m_ui->label_url || watched == m_ui->image_logo) &&
        event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint())) {
            label_urlClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tabout::label_urlClick()
{
    if (m_opener->openUrl(QUrl(QString::fromLatin1(productAddress))))
        return;
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Quorvel"),
                                QStringLiteral("Cannot open Webpage"), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("message"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void Tabout::button_doneClick()
{
    hide();
}
