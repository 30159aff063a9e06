#pragma once

#include <QToolButton>

class QMenu;

// The button right of the entry line that opens the menu of the eighteen smilies.
class SmiliesButton : public QToolButton {
    Q_OBJECT
public:
    explicit SmiliesButton(QWidget* parent = nullptr);
    // Made when first asked for.
    QMenu* smiliesMenu();

signals:
    // A smiley was chosen: its code, 10 to 27.
    void smileyChosen(int code);

private:
    QMenu* m_menu = nullptr;
};
