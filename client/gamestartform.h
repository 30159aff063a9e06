#pragma once

#include "client/tileddialog.h"

#include <QByteArray>
#include <QPixmap>

#include <array>
#include <functional>
#include <memory>

class QLabel;
struct Settings;

namespace Ui {
class Tgamestart;
}

// The game start dialog: play-to-score, Bob's penalty, the Zorer Aru count and which seats
// the computer fills, and the start picture that sends them to the host. Hidden, never
// destroyed, so it keeps its values for the next game. Made with the main window as its
// parent it opens centred on it.
class Tgamestart : public TiledDialog {
    Q_OBJECT
public:
    using SendFunction = std::function<void(const QByteArray& wire)>;

    explicit Tgamestart(QWidget* parent = nullptr);
    ~Tgamestart() override;

    // The main window's connection to the host; nothing is sent without it.
    void setSendFunction(SendFunction send) { m_send = std::move(send); }
    // The name this copy logged in with.
    void setPlayerName(const QString& name) { m_playerName = name; }

    int playToScore() const;
    int penalty() const;
    int bobCount() const;
    // The type label_bots holds: 1 seat 2 only, 2 seats 2 to 4, 3 seats 2 to 7.
    int gameType() const;
    // Values go through the up-down controls, which keep them in their ranges.
    void setPlayToScore(int value);
    void setPenalty(int value);
    void setBobCount(int value);
    void loadFrom(const Settings& settings);
    void storeIn(Settings& settings) const;

    // Brings type into 1 to 3, stores it and ticks its box alone.
    void changebox(int type);
    // The click of any of the three tick boxes: the clicked box's type becomes the choice.
    void image_gt1Click(QLabel* box);
    // Sends the game start with the values as shown, hides the dialog and asks for a save.
    void button_startClick();

    // imagelist_box: 0 the empty tick box, 1 the ticked one, 32 × 19 at the given pixel ratio.
    static QPixmap boxPicture(int index, qreal pixelRatio);
    // The start picture, 126 × 40.
    static QPixmap startPicture(qreal pixelRatio);

signals:
    // The settings file should be written (the main window's saveinifile).
    void saveRequested();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLabel*, 3> boxes() const;
    void drawBoxesEmpty();
    // Draws the pictures for the screen's pixel ratio, when it is not the one they have.
    void drawPictures();

    std::unique_ptr<Ui::Tgamestart> m_ui;
    std::array<QPixmap, 2> imagelist_box;
    qreal m_pictureRatio = 0;
    SendFunction m_send;
    QString m_playerName;
    QLabel* m_pressedBox = nullptr;
};
