#pragma once

#include <QWidget>

class QLabel;
class PictureWidget;

// The big ball above the board: the ball just revealed as text on a large white ball, or
// Zorer Aru's face laid over it after a Zorer Aru ball.
class BigBall : public QWidget {
    Q_OBJECT
public:
    explicit BigBall(QWidget* parent = nullptr);

    QString text() const;
    // Shows the text with the face hidden.
    void showText(const QString& text);
    // Empties the text and shows the face.
    void showBob();
    bool bobShown() const;

private:
    QLabel* label_bigball = nullptr;
    PictureWidget* image_bobball = nullptr;
};
