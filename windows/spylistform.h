#pragma once

#include "client/tileddialog.h"

#include <functional>

class QAction;
class QListView;
class QMenu;
class QPushButton;
class QStringListModel;

// The spies (seats 8 and 9) in order of arrival, "<seat>: <name>". The main window owns
// the items; this window only shows them. On the hosting copy its pop-up removes a spy.
class Tspylist : public TiledDialog {
    Q_OBJECT
public:
    using KickFunction = std::function<void(int seat)>;

    explicit Tspylist(QWidget* parent = nullptr);

    void setItems(QStringListModel* items);
    // The main window's removal of a seat's player.
    void setKickFunction(KickFunction kick) { m_kick = std::move(kick); }
    // Only the hosting copy may remove anyone.
    void setKickEnabled(bool enabled);

    // Index of the item last under the pointer, -1 when the pointer was over none.
    int hoveredIndex() const { return m_hovered; }
    QListView* list() const { return listbox_spys; }
    QAction* kickItem() const { return popup_kickhim; }

    void listbox_spysMouseMove(const QPoint& pos);
    void popup_kickhimClick();
    void button_doneClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListView* listbox_spys = nullptr;
    QMenu* popup_kick = nullptr;
    QAction* popup_kickhim = nullptr;
    QPushButton* button_done = nullptr;
    KickFunction m_kick;
    int m_hovered = -1;
};
