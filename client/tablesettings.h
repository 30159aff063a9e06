#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>

class ChatPanel;
class PlayingSurface;
class QWidget;
class TableMenus;
class Tgamestart;
struct Settings;

// The settings file as the main window's parts hold it: read at the own seat's
// announcement, written at each change, and the window's place at its close.
class TableSettings : public QObject {
    Q_OBJECT
public:
    // In folder, or the program's own place when it is empty.
    TableSettings(const QString& folder, QWidget& window, ChatPanel& chat, TableMenus& menus,
                  PlayingSurface& surface);

    // The game start dialog, made when first asked for (at the first load or save).
    void setGameStart(std::function<Tgamestart*()> dialog) { m_gamestart = std::move(dialog); }
    const QString& path() const { return m_path; }
    // The tally file beside the settings.
    const QString& tallyPath() const { return m_tallyPath; }
    void load();
    void save() { saveWith(QRect()); }
    void saveAtClose();

private:
    Settings current();
    Tgamestart* gameStart();
    // With the window's own bounds when bounds is null.
    void saveWith(const QRect& bounds);

    QString m_path;
    QString m_tallyPath;
    QWidget& m_window;
    ChatPanel& m_chat;
    TableMenus& m_menus;
    PlayingSurface& m_surface;
    std::function<Tgamestart*()> m_gamestart;
    QPointer<Tgamestart> m_heard; // the dialog whose saveRequested is connected
    // The window's place as last read or written: an unmoved window is not written.
    QRect m_savedBounds;
};
