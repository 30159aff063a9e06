#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons that step a whole number between two ends, one step per click,
// stopping at the ends (no wrapping). An associated edit shows the number as plain
// decimal text and passes its Up and Down keys on.
class UpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int increment READ increment WRITE setIncrement)
    Q_PROPERTY(int position READ position WRITE setPosition NOTIFY positionChanged)
public:
    explicit UpDown(QWidget* parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int increment() const { return m_increment; }
    int position() const { return m_position; }
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setIncrement(int increment);
    // Values beyond the ends are brought to the nearer end.
    void setPosition(int position);
    void setAssociate(QLineEdit* edit);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

public slots:
    void stepUp();
    void stepDown();

signals:
    void positionChanged(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPosition();

    int m_minimum = 0;
    int m_maximum = 100;
    int m_increment = 1;
    int m_position = 0;
    QToolButton* m_up;
    QToolButton* m_down;
    QPointer<QLineEdit> m_associate;
};
