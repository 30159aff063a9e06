#pragma once

#include <QPixmap>
#include <QWidget>

// The window's client area: the table colour under the tiled background picture.
class TableBackground : public QWidget {
    Q_OBJECT
public:
    explicit TableBackground(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_tile;
};
