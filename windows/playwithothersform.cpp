#include "windows/playwithothersform.h"

#include "client/settings.h"
#include "platform/inifile.h"
#include "platform/logging.h"
#include "platform/placement.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QString key(const char* name)
{
    return QString::fromLatin1(name);
}
} // namespace

Tplaywithothers::Tplaywithothers(QString iniPath, QWidget* parent)
    : QDialog(parent), m_iniPath(std::move(iniPath)), m_name(new QLineEdit(this)),
      m_host(new QRadioButton(QStringLiteral("&Host a table"), this)),
      m_join(new QRadioButton(QStringLiteral("&Join the table at this address:"), this)),
      m_address(new QLineEdit(this))
{
    setObjectName(QStringLiteral("playwithothers"));
    setWindowTitle(QStringLiteral("Play with Others"));
    m_name->setObjectName(QStringLiteral("edit_name"));
    m_host->setObjectName(QStringLiteral("radio_host"));
    m_join->setObjectName(QStringLiteral("radio_join"));
    m_address->setObjectName(QStringLiteral("edit_address"));
    m_address->setPlaceholderText(QStringLiteral("for example 192.168.1.20"));
    m_join->setChecked(true);

    auto* nameRow = new QFormLayout;
    auto* nameLabel = new QLabel(QStringLiteral("Your &name:"), this);
    nameLabel->setBuddy(m_name);
    nameRow->addRow(nameLabel, m_name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_play = buttons->addButton(QStringLiteral("&Play"), QDialogButtonBox::AcceptRole);
    m_play->setObjectName(QStringLiteral("button_play"));
    m_play->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addLayout(nameRow);
    column->addWidget(m_host);
    column->addWidget(m_join);
    column->addWidget(m_address);
    column->addWidget(buttons);

    connect(m_name, &QLineEdit::textChanged, this, &Tplaywithothers::updatePlayButton);
    connect(m_address, &QLineEdit::textChanged, this, &Tplaywithothers::updatePlayButton);
    connect(m_join, &QRadioButton::toggled, this, &Tplaywithothers::updatePlayButton);
    updatePlayButton();
}

QStringList Tplaywithothers::launchArguments() const
{
    // The host's own window connects to this machine whatever the address says.
    const QString address = m_address->text().trimmed();
    if (m_host->isChecked())
        return {m_name->text().trimmed(), address.isEmpty() ? QStringLiteral("127.0.0.1") : address,
                QStringLiteral("true")};
    return {m_name->text().trimmed(), address, QStringLiteral("join")};
}

void Tplaywithothers::showDialog()
{
    IniFile ini(m_iniPath);
    ini.load();
    m_name->setText(ini.value(Settings::section, key(nameKey), QString()));
    m_address->setText(ini.value(Settings::section, key(addressKey), QString()));
    if (!isVisible())
        centreWindowOn(this, parentWidget());
    showInFront(this);
}

void Tplaywithothers::updatePlayButton()
{
    m_address->setEnabled(m_join->isChecked());
    const QStringList arguments = launchArguments();
    m_play->setEnabled(!arguments.at(0).isEmpty() && !arguments.at(1).isEmpty());
}

void Tplaywithothers::accept()
{
    const QStringList arguments = launchArguments();
    IniFile ini(m_iniPath);
    ini.load();
    ini.setValue(Settings::section, key(nameKey), arguments.at(0));
    ini.setValue(Settings::section, key(addressKey), m_address->text().trimmed());
    if (!ini.save())
        qCWarning(lcWindows) << "settings file" << m_iniPath << "not written:" << ini.errorString();
    QDialog::accept();
    emit playRequested(arguments);
}
