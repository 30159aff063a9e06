#pragma once

#include <QFrame>

class QLabel;

// The game's end: one centred line across the top right of the table.
class WinnerBanner : public QFrame {
    Q_OBJECT
public:
    explicit WinnerBanner(QWidget* parent = nullptr);
    void showLine(const QString& text);
    QString text() const;

private:
    QLabel* label_winner1 = nullptr;
};
