#pragma once

#include <QList>
#include <QObject>

#include <array>

class BallBoard;
class BigBall;
class CardGrid;
class ChosenPanel;
class DetailsPanel;
class IndexedPicture;
class PictureButton;
class QLabel;
class QWidget;
class ScoreSheet;
class SeatRows;
class TableState;
class WinnerBanner;

// The table's playing controls laid out on the table panel: seat rows, cards, status,
// board, big ball, Bob counter, ball history, start button and the panels over them. It
// shows what TableState holds and what the handlers tell it.
class PlayingSurface : public QObject {
    Q_OBJECT
public:
    PlayingSurface(const TableState& state, QWidget* panel);

    // A seat's row as the state has it: name, eyes, score and bonus.
    void showSeat(int seat);
    void showSeats();
    void moveTurnMarker(int seat);
    void setStatus(const QString& text);
    QString status() const;
    void setPlayToScore(const QString& text);
    void setStartVisible(bool visible);

    // Reset of the board, the cards, the ball history and the Bob counter.
    void clearRound();
    // A drawn ball at its board position: big ball, chosen panel and history.
    void drawBall(int position, int value, int bobs);
    void setBobCounter(int zorers);
    // The score sheet with a row for each seat the state has a result for.
    void showScoreSheet();
    void hideScoreSheet();
    void showWinner(const QString& line);
    void hideWinner();
    void setChosenPanelOpen(bool open);
    void toggleChosenPanel() { setChosenPanelOpen(!m_chosenOpen); }
    // Shown once, at the first connection of a new installation, until a press over it.
    void showHelpPanel();

    SeatRows* seatRows() const { return m_rows; }
    CardGrid* cards() const { return m_cards; }
    BallBoard* board() const { return paintbox_board; }
    BigBall* bigBall() const { return m_bigball; }
    // Hidden until asked for, so made when first needed.
    ChosenPanel* chosenPanel();
    ScoreSheet* scoreSheet();
    DetailsPanel* detailsPanel();
    WinnerBanner* winnerBanner() const { return panel_winner; }
    // The ball value each history picture shows, newest first (0 for none).
    QList<int> ballHistory() const;
    int bobCounter() const;

    // The board and a card cell were clicked; the score sheet's arrows.
    void paintbox_boardMouseUp(QPoint point);
    void label_roundnumClick(int card, int column, int row);
    void image_more1Click(int seat);

signals:
    void sendRequested(const QByteArray& wire);
    void soundRequested(const QString& name);
    void startClicked();
    void chosenPanelOpened(bool open);
    // A name label's pop-up; occupied when the label shows somebody.
    void seatPopupRequested(int seat, bool occupied, const QPoint& globalPos);
    void logoClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBoard(QWidget* panel);
    void buildPanels(QWidget* panel);

    const TableState& m_state;
    QWidget* m_panel;
    bool m_chosenOpen = false;
    SeatRows* m_rows = nullptr;
    CardGrid* m_cards = nullptr;
    QLabel* label_status = nullptr;
    QLabel* label_playtoscore = nullptr;
    BallBoard* paintbox_board = nullptr;
    BigBall* m_bigball = nullptr;
    IndexedPicture* image_bob = nullptr;
    std::array<IndexedPicture*, 6> image_other{};
    PictureButton* button_start = nullptr;
    ChosenPanel* panel_choosen = nullptr;
    PictureButton* button_open = nullptr;
    PictureButton* button_close = nullptr;
    ScoreSheet* panel_scoresheet = nullptr;
    DetailsPanel* panel_more = nullptr;
    WinnerBanner* panel_winner = nullptr;
    QLabel* image_logo = nullptr;
    QWidget* panel_help = nullptr;
};
