#pragma once

#include "net/table.h"

#include <QObject>

#include <initializer_list>

class QAction;
class QMenu;
class QMenuBar;
class QPoint;
class QWidget;
class TableState;
struct Settings;

// The choices of the Options menu that other parts read.
struct Options {
    bool playSounds = true;
    bool playerPhraseSounds = true;
    int turnSound = 0; // 0 Classic, 1 New
    // The hosting copy's computer players' interval and pause between rounds.
    int botSpeedMs = table::defaultBotSpeedMs;
    int secondsBetweenRounds = table::defaultSecondsBetweenRounds;
};

// The main window's menu bar, the chat view's menu items and the seat pop-up, with the
// option values they hold and their part of the settings file. Items that belong to
// other parts are signals; seat commands go out as messages.
class TableMenus : public QObject {
    Q_OBJECT
public:
    // Fills bar; chatMenu (the chat view's own menu) gets the chat items too.
    TableMenus(const TableState& state, QMenuBar* bar, QMenu* chatMenu, QWidget* parent);

    const Options& options() const { return m_options; }
    // The options and the text size's check mark.
    void storeIn(Settings& s) const;
    void loadFrom(const Settings& s);

    void setStartAvailable(bool available);
    void setJustWatch(bool checked);
    void setChosenPanelMark(bool open);
    QMenu* optionsMenu() const { return m_optionsMenu; }

    // The seat pop-up, about to open over a name label; occupied when it shows somebody.
    void label_playername1ContextPopup(int seat, bool occupied, const QPoint& globalPos);
    // Asks the host to remove the player of a seat (host mode, logged in).
    void kicking(int seat);

signals:
    void sendRequested(const QByteArray& wire);
    // An option changed: the settings file should be written.
    void optionsChanged();
    void textSizeChosen(int size);
    void scrollOffChanged(bool off);
    void startGameClicked();
    void playWithOthersClicked();
    void exitClicked();
    void textColourClicked();
    void clearChatClicked();
    void resetPlaceClicked();
    void chosenBallsClicked();
    void viewTallyRequested();
    void spyListRequested();
    void phraseListRequested();
    void helpRequested();
    void aboutRequested();

private:
    struct Choice {
        const char* caption;
        const char* name;
        int tag;
    };
    // A submenu of radio items, each with its tag; chosen gets the clicked item's tag.
    QMenu* radioMenu(QMenu* parent, const char* title, const char* name,
                     std::initializer_list<Choice> choices, int checked,
                     void (TableMenus::*chosen)(int));
    QAction* item(QMenu* menu, const char* caption, const char* name, void (TableMenus::*signal)());
    void buildSeatPopup(QWidget* parent);
    void setTurnSound(int tag);
    void setBotSpeed(int tag);
    void setDelay(int tag);
    void JustWatch1Click();

    const TableState& m_state;
    Options m_options;
    int m_popupSeat = 0;
    QMenu* m_optionsMenu = nullptr;
    QMenu* m_turnSound = nullptr;
    QMenu* m_botSpeed = nullptr;
    QMenu* m_delay = nullptr;
    QMenu* m_textSize = nullptr;
    QMenu* popup_kick = nullptr;
    QAction* StartGame1 = nullptr;
    QAction* PlaySounds1 = nullptr;
    QAction* PlayerPhraseSounds1 = nullptr;
    QAction* ChoosenBingoBalls1 = nullptr;
    QAction* JustWatch1 = nullptr;
    QAction* RemoveFromGame1 = nullptr;
    QAction* SettoJustWatch1 = nullptr;
    QAction* UnsetJustWatch1 = nullptr;
};
