#pragma once

#include <QDialog>
#include <QPixmap>

// A side window on the main window's background: the table colour under its tiles.
class TiledDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // One rendered tile of the main window's background picture.
    void setBackgroundTile(const QPixmap& tile);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_tile;
};
