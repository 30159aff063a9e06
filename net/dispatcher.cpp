#include "net/dispatcher.h"

#include "net/errorreporter.h"
#include "net/fields.h"
#include "net/logging.h"
#include "net/separators.h"

void Dispatcher::add(const QByteArray& name, Handler handler)
{
    m_table.append({name, std::move(handler)});
}

QList<QByteArray> Dispatcher::names() const
{
    QList<QByteArray> result;
    for (const Entry& e : m_table)
        result.append(e.name);
    return result;
}

bool Dispatcher::dispatch(const QByteArray& entry) const
{
    const QByteArray text = entry.left(maxEntry);
    const qsizetype plus = text.indexOf(msg::fieldSeparator);
    if (plus <= 0)
        return false;
    const QByteArray name = text.left(plus);
    const QByteArray body = text.mid(plus + 1);
    bool handled = false;
    for (const Entry& e : m_table) {
        if (e.name != name)
            continue;
        handled = true;
        try {
            e.handler(body);
        } catch (const FieldError& error) {
            if (m_errors)
                m_errors->report(error.text());
            return true;
        }
    }
    if (!handled)
        qCDebug(lcNet) << "dropped message with unknown name" << name.left(64);
    return handled;
}
