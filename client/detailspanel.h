#pragma once

#include <QFrame>

#include <array>

class QLabel;
class QListWidget;

// One seat's points per pattern of the last scored round, beside the score sheet.
class DetailsPanel : public QFrame {
    Q_OBJECT
public:
    explicit DetailsPanel(QWidget* parent = nullptr);

    // The seven pattern values in order: covered, line, corners, cross, X, square, blackout.
    void showDetails(const QString& name, const std::array<int, 7>& patterns);
    QStringList lines() const;
    QString name() const;

private:
    QLabel* label_more = nullptr;
    QListWidget* listbox_more = nullptr;
};
