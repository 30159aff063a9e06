#pragma once

#include "net/errorreporter.h"

#include <QPointer>
#include <QWidget>

// The program-wide error box: one non-modal message box per error, so that a burst of
// errors never blocks the game.
class ErrorBox : public ErrorReporter {
public:
    void setParentWindow(QWidget* window) { m_window = window; }
    void report(const QString& text) override;

private:
    QPointer<QWidget> m_window;
};
