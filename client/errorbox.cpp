#include "client/errorbox.h"

#include "platform/logging.h"

#include <QMessageBox>

void ErrorBox::report(const QString& text)
{
    qCWarning(lcClient).noquote() << "error:" << text;
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Quorvel"), text,
                                QMessageBox::Ok, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setObjectName(QStringLiteral("errorbox"));
    box->show();
}
