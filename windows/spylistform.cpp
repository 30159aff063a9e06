#include "windows/spylistform.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringListModel>

namespace {
const QColor listColour(247, 242, 223);
} // namespace

Tspylist::Tspylist(QWidget* parent) : TiledDialog(parent)
{
    setObjectName(QStringLiteral("spylist"));
    setWindowTitle(QStringLiteral("Quorvel - Spys"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(162, 168);

    listbox_spys = new QListView(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setAccessibleName(QStringLiteral("Spy List"));
    listbox_spys->setGeometry(4, 4, 154, 130);
    listbox_spys->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listbox_spys->setStyleSheet(QStringLiteral("QListView { background: rgb(%1, %2, %3); }")
                                    .arg(listColour.red())
                                    .arg(listColour.green())
                                    .arg(listColour.blue()));
    listbox_spys->viewport()->setMouseTracking(true);
    listbox_spys->viewport()->installEventFilter(this);

    auto* caption = new QLabel(QStringLiteral("Spy List"), this);
    caption->setObjectName(QStringLiteral("label_caption"));
    QFont captionFont = caption->font();
    captionFont.setPixelSize(19);
    captionFont.setBold(true);
    caption->setFont(captionFont);
    caption->setGeometry(4, 138, 90, 26);

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setFlat(true);
    button_done->setGeometry(100, 140, 58, 24);
    button_done->setStyleSheet(QStringLiteral("QPushButton { background: rgb(64, 0, 64); color: "
                                              "silver; font-family: Arial; font-weight: bold; }"));
    connect(button_done, &QPushButton::clicked, this, &Tspylist::button_doneClick);

    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    popup_kickhim = popup_kick->addAction(QStringLiteral("Remove From Game"));
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    connect(popup_kickhim, &QAction::triggered, this, &Tspylist::popup_kickhimClick);
}

void Tspylist::setItems(QStringListModel* items)
{
    listbox_spys->setModel(items);
}

void Tspylist::setKickEnabled(bool enabled)
{
    popup_kickhim->setEnabled(enabled);
}

void Tspylist::listbox_spysMouseMove(const QPoint& pos)
{
    const QModelIndex index = listbox_spys->indexAt(pos);
    m_hovered = index.isValid() ? index.row() : -1;
}

void Tspylist::popup_kickhimClick()
{
    const QAbstractItemModel* items = listbox_spys->model();
    if (m_hovered < 0 || !items || m_hovered >= items->rowCount())
        return;
    const QString text = items->index(m_hovered, 0).data().toString();
    bool ok = false;
    const int seat = text.section(QLatin1Char(':'), 0, 0).toInt(&ok, 10);
    if (ok && m_kick)
        m_kick(seat);
}

void Tspylist::button_doneClick()
{
    close();
}

bool Tspylist::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == listbox_spys->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            listbox_spysMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        } else if (event->type() == QEvent::ContextMenu) {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            // A keyboard's menu key leaves the pointer where it was.
            if (menuEvent->reason() == QContextMenuEvent::Mouse)
                listbox_spysMouseMove(menuEvent->pos());
            popup_kick->popup(menuEvent->globalPos());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
