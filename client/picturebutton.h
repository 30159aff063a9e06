#pragma once

#include "client/pictures.h"

#include <QAbstractButton>

// A clickable code-drawn picture (START GAME, OK, the arrows and tabs); drawn darker while
// pressed.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(pictures::PaintFunction paint, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    pictures::PaintFunction m_paint;
};
