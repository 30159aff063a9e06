#pragma once

#include <QWidget>

#include <functional>

// A picture chosen by an index from a code-drawn list (a ball, the Bob counter), painted
// at the screen's pixel ratio. The index is the value the picture remembers.
class IndexedPicture : public QWidget {
    Q_OBJECT
public:
    using PaintFunction = std::function<void(QPainter&, const QRectF&, int)>;
    IndexedPicture(PaintFunction paint, QWidget* parent = nullptr);

    int index() const { return m_index; }
    void setIndex(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PaintFunction m_paint;
    int m_index = 0;
};
