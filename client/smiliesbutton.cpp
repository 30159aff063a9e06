#include "client/smiliesbutton.h"

#include "client/chatview.h"
#include "client/pictures.h"

#include <QMenu>

SmiliesButton::SmiliesButton(QWidget* parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("button_smilies"));
    setFixedSize(25, 19);
    setIconSize(QSize(21, 15));
    pictures::iconWhenPainted({this}, QSize(21, 15), pictures::paintSmiliesIcon);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);

    // Built when first opened: most games never open it.
    connect(this, &QToolButton::clicked, this,
            [this] { smiliesMenu()->popup(mapToGlobal(QPoint(width(), height()))); });
}

QMenu* SmiliesButton::smiliesMenu()
{
    if (m_menu)
        return m_menu;
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("popup_smilies"));
    for (int i = 0; i < pictures::smileyCount; ++i) {
        const int code = ChatView::firstSmileyCode + i;
        QAction* item = m_menu->addAction(
            pictures::icon(pictures::smileySize,
                           [i](QPainter& p, const QRectF& r) { pictures::paintSmiley(p, r, i); }),
            QStringLiteral(":)#%1").arg(code));
        item->setObjectName(QStringLiteral("smiley%1").arg(code));
        item->setData(code);
    }
    connect(m_menu, &QMenu::triggered, this,
            [this](QAction* item) { emit smileyChosen(item->data().toInt()); });
    return m_menu;
}
