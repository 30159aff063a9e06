#pragma once

#include "client/tileddialog.h"

#include <QPointer>

#include <memory>

class ShellOpener;

namespace Ui {
class Tabout;
}

// The program's version, the year and the product's web page.
class Tabout : public TiledDialog {
    Q_OBJECT
public:
    // The product's page: the link label, this window's logo and the main window's logo.
    static constexpr char productAddress[] = "https://www.orskel.example/quorvel/";

    explicit Tabout(QWidget* parent = nullptr);
    ~Tabout() override;

    void setShellOpener(ShellOpener* opener);
    // The window it opens centred on.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

public slots:
    // Help menu "About" and the help window's "About" button.
    void showAbout();
    // Opens the product's page in the default browser; the main window's logo uses it too.
    void label_urlClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void button_doneClick();

    std::unique_ptr<Ui::Tabout> m_ui;
    ShellOpener* m_opener;
    QPointer<QWidget> m_mainWindow;
};
