#pragma once

#include "client/pictures.h"

#include <QWidget>

// A control that shows one code-drawn picture, painted at the screen's pixel ratio.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(pictures::PaintFunction paint, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    pictures::PaintFunction m_paint;
};
