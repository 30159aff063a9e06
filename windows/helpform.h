#pragma once

#include "client/tileddialog.h"

#include <QPointer>

#include <memory>

namespace Ui {
class Thelp;
}

// The help topics, one read-only text per topic button; the chosen one lies in front.
class Thelp : public TiledDialog {
    Q_OBJECT
public:
    explicit Thelp(QWidget* parent = nullptr);
    ~Thelp() override;

    // The window it opens centred on.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

    // The tag of the topic in front.
    int currentTopic() const;

public slots:
    // Help menu "Content" (F1): shows the window with the topic last chosen.
    void showHelp();

signals:
    // The "About" button: the about window is to be shown.
    void aboutRequested();

private:
    void SelButton1Click();
    void button_doneClick();
    void button_aboutClick();
    void selectTopic(int tag, const QString& caption);

    std::unique_ptr<Ui::Thelp> m_ui;
    QPointer<QWidget> m_mainWindow;
};
