#include "client/playingsurface.h"

#include "client/ballboard.h"
#include "client/bigball.h"
#include "client/cardgrid.h"
#include "client/chosenpanel.h"
#include "client/detailspanel.h"
#include "client/firstpaint.h"
#include "client/gamepictures.h"
#include "client/indexedpicture.h"
#include "client/logo.h"
#include "client/picturebutton.h"
#include "client/scoresheet.h"
#include "client/seatrows.h"
#include "client/tableaccess.h"
#include "client/tablelayout.h"
#include "client/tablestate.h"
#include "client/winnerbanner.h"
#include "net/messages.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

namespace {
QLabel* statusLabel(QWidget* parent, const char* name, const QRect& place, Qt::Alignment align,
                    const QString& text)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setAlignment(align);
    label->setTextFormat(Qt::PlainText);
    label->setFont(pictures::tableFont(13));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, pictures::darkPurple);
    label->setPalette(palette);
    label->setText(text);
    return label;
}

PictureButton* pictureButton(QWidget* parent, const char* name, const QRect& place,
                             pictures::PaintFunction paint)
{
    auto* button = new PictureButton(std::move(paint), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    return button;
}
} // namespace

PlayingSurface::PlayingSurface(const TableState& state, QWidget* panel)
    : QObject(panel), m_state(state), m_panel(panel)
{
    m_rows = new SeatRows(panel);
    m_rows->setGeometry(layout::seatRows);
    connect(m_rows, &SeatRows::nameContextMenu, this, [this](int seat, const QPoint& at) {
        emit seatPopupRequested(seat, !m_state.isWaiting(seat), at);
    });
    m_cards = new CardGrid(panel);
    m_cards->move(layout::cards);
    connect(m_cards, &CardGrid::cellClicked, this, &PlayingSurface::label_roundnumClick);
    label_status = statusLabel(panel, "label_status", layout::status, Qt::AlignCenter,
                               QStringLiteral("Welcome to Quorvel!"));
    label_playtoscore =
        statusLabel(panel, "label_playtoscore", layout::playToScore,
                    Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Play to Score: 0"));
    buildBoard(panel);
    buildPanels(panel);

    image_logo = new QLabel(panel);
    image_logo->setObjectName(QStringLiteral("image_logo"));
    image_logo->setGeometry(layout::logo);
    image_logo->setScaledContents(true);
    beforeFirstPaint(image_logo, [this] {
        image_logo->setPixmap(quorvelLogo(image_logo->devicePixelRatioF()));
    });
    image_logo->setCursor(Qt::PointingHandCursor);
    image_logo->installEventFilter(this);

    // Shown once, at the first connection of a new installation. It lies over the cards
    // but never takes their clicks: a click over it goes to what lies beneath and puts the
    // panel away.
    auto* help = new QFrame(panel);
    help->setObjectName(QStringLiteral("panel_help"));
    help->setGeometry(layout::helpPanel);
    help->setFrameShape(QFrame::Box);
    help->setLineWidth(2);
    help->setAttribute(Qt::WA_TransparentForMouseEvents);
    help->hide();
    panel_help = help;
}

void PlayingSurface::buildBoard(QWidget* panel)
{
    auto* theboard = new QFrame(panel);
    theboard->setObjectName(QStringLiteral("panel_theboard"));
    theboard->setGeometry(layout::boardFrame);
    theboard->setStyleSheet(QStringLiteral("#panel_theboard { background: black;"
                                           " border: 2px solid rgb(96, 32, 128); }"));
    paintbox_board = new BallBoard(theboard);
    paintbox_board->move(layout::board);
    connect(paintbox_board, &BallBoard::released, this, &PlayingSurface::paintbox_boardMouseUp);

    m_bigball = new BigBall(panel);
    m_bigball->move(layout::bigBall);
    image_bob = new IndexedPicture(&pictures::paintBobCounter, panel);
    image_bob->setObjectName(QStringLiteral("image_bob"));
    image_bob->setGeometry(layout::bobCounter);

    auto* strip = new QFrame(panel);
    strip->setObjectName(QStringLiteral("panel_history"));
    strip->setGeometry(layout::historyStrip);
    strip->setStyleSheet(QStringLiteral("#panel_history { background: rgb(96, 32, 128); }"));
    for (std::size_t i = 0; i < image_other.size(); ++i) {
        auto* picture = new IndexedPicture(&pictures::paintBall, panel);
        picture->setObjectName(QStringLiteral("image_other%1").arg(i + 1));
        picture->setGeometry(layout::historyLefts[i], layout::historyTop, layout::historySize,
                             layout::historySize);
        image_other[i] = picture;
    }

    button_start =
        pictureButton(panel, "button_start", layout::startButton, [](QPainter& p, const QRectF& r) {
            pictures::paintWordButton(p, r, QStringLiteral("START GAME"));
        });
    button_start->hide();
    connect(button_start, &QAbstractButton::clicked, this, &PlayingSurface::startClicked);
}

void PlayingSurface::buildPanels(QWidget* panel)
{
    button_open =
        pictureButton(panel, "button_open", layout::chosenArrows,
                      [](QPainter& p, const QRectF& r) { pictures::paintArrow(p, r, false); });
    connect(button_open, &QAbstractButton::clicked, this, [this] { setChosenPanelOpen(true); });
    button_close =
        pictureButton(panel, "button_close", layout::chosenArrows,
                      [](QPainter& p, const QRectF& r) { pictures::paintArrow(p, r, true); });
    button_close->hide();
    connect(button_close, &QAbstractButton::clicked, this, [this] { setChosenPanelOpen(false); });

    panel_winner = new WinnerBanner(panel);
    panel_winner->move(layout::winnerBanner);
    panel_winner->hide();
}

void PlayingSurface::showSeat(int seat)
{
    if (!TableState::isRow(seat))
        return;
    m_rows->setName(seat, m_state.name(seat));
    m_rows->setEyes(seat, m_state.watching(seat));
    m_rows->setScore(seat, QString::number(m_state.score(seat)));
    m_rows->setBonus(seat, m_state.bonus(seat));
}

void PlayingSurface::showSeats()
{
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        showSeat(seat);
}

void PlayingSurface::moveTurnMarker(int seat)
{
    m_rows->moveTurnMarker(seat);
}

void PlayingSurface::setStatus(const QString& text)
{
    label_status->setText(text);
    tableaccess::setValue(label_status, text);
}

QString PlayingSurface::status() const
{
    return label_status->text();
}

void PlayingSurface::setPlayToScore(const QString& text)
{
    label_playtoscore->setText(text);
}

void PlayingSurface::setStartVisible(bool visible)
{
    button_start->setVisible(visible);
}

void PlayingSurface::clearRound()
{
    setBobCounter(0);
    for (IndexedPicture* picture : image_other)
        picture->setIndex(pictures::emptyBall);
    paintbox_board->reset();
    m_cards->reset();
}

ScoreSheet* PlayingSurface::scoreSheet()
{
    if (!panel_scoresheet) {
        panel_scoresheet = new ScoreSheet(m_panel);
        panel_scoresheet->move(layout::scoreSheet);
        panel_scoresheet->hide();
        connect(panel_scoresheet, &ScoreSheet::moreClicked, this,
                &PlayingSurface::image_more1Click);
        connect(panel_scoresheet, &ScoreSheet::okClicked, this, &PlayingSurface::hideScoreSheet);
        // Judged by the name the sheet shows, which may be gone from the row since.
        connect(panel_scoresheet, &ScoreSheet::nameContextMenu, this,
                [this](int seat, const QPoint& at) {
                    emit seatPopupRequested(seat, m_state.sheetName(seat) != table::waitingName,
                                            at);
                });
    }
    return panel_scoresheet;
}

DetailsPanel* PlayingSurface::detailsPanel()
{
    if (!panel_more) {
        panel_more = new DetailsPanel(m_panel);
        panel_more->move(layout::detailsLeft, layout::scoreSheet.y());
        panel_more->hide();
    }
    return panel_more;
}

ChosenPanel* PlayingSurface::chosenPanel()
{
    if (!panel_choosen) {
        panel_choosen = new ChosenPanel(m_panel);
        panel_choosen->move(layout::chosenPanel);
        panel_choosen->hide();
    }
    return panel_choosen;
}

void PlayingSurface::drawBall(int position, int value, int bobs)
{
    paintbox_board->reveal(position, value);
    if (value == pictures::zorerBall) {
        setBobCounter(bobs);
        m_bigball->showBob();
    } else {
        chosenPanel()->setChosen(value);
        m_bigball->showText(pictures::ballText(value));
    }
    for (std::size_t k = image_other.size() - 1; k > 0; --k)
        image_other[k]->setIndex(image_other[k - 1]->index());
    image_other[0]->setIndex(value);
}

void PlayingSurface::setBobCounter(int zorers)
{
    image_bob->setIndex(qBound(0, zorers, pictures::bobCounterPictures - 1));
}

void PlayingSurface::showScoreSheet()
{
    ScoreSheet* sheet = scoreSheet();
    sheet->clearRows();
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        if (m_state.onSheet(seat))
            sheet->setRow(seat, m_state.sheetName(seat),
                          QString::number(m_state.score(seat)) + QLatin1Char(' ') +
                              m_state.bonus(seat));
    sheet->show();
    sheet->raise();
}

void PlayingSurface::hideScoreSheet()
{
    if (panel_more)
        panel_more->hide();
    if (panel_scoresheet)
        panel_scoresheet->hide();
}

void PlayingSurface::showWinner(const QString& line)
{
    panel_winner->showLine(line);
    panel_winner->raise();
}

void PlayingSurface::hideWinner()
{
    panel_winner->hide();
}

void PlayingSurface::setChosenPanelOpen(bool open)
{
    m_chosenOpen = open;
    chosenPanel()->setVisible(open);
    if (open)
        panel_choosen->raise();
    button_close->setVisible(open);
    button_open->setVisible(!open);
    emit chosenPanelOpened(open);
}

void PlayingSurface::showHelpPanel()
{
    panel_help->show();
    // Watches every press while the panel shows, to see the ones over it.
    qApp->installEventFilter(this);
}

bool PlayingSurface::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease && event->type() != QEvent::MouseButtonPress)
        return QObject::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonRelease && watched == image_logo) {
        emit logoClicked();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && panel_help->isVisible() &&
        watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == panel_help->window() &&
        panel_help->rect().contains(panel_help->mapFromGlobal(mouse->globalPosition().toPoint()))) {
        panel_help->hide();
        qApp->removeEventFilter(this);
    }
    return QObject::eventFilter(watched, event);
}

QList<int> PlayingSurface::ballHistory() const
{
    QList<int> values;
    for (const IndexedPicture* picture : image_other)
        values.append(picture->index());
    return values;
}

int PlayingSurface::bobCounter() const
{
    return image_bob->index();
}

void PlayingSurface::paintbox_boardMouseUp(QPoint point)
{
    const int position = BallBoard::positionAt(point);
    if (position == 0)
        return;
    if (paintbox_board->revealed(position)) {
        emit soundRequested(QStringLiteral("invalid"));
        return;
    }
    // Whose turn it is is the host's business: it ignores picks out of turn.
    if (m_state.loggedIn())
        emit sendRequested(msg::chooseball(m_state.ownSeat(), position));
}

void PlayingSurface::label_roundnumClick(int card, int column, int row)
{
    // Covered cells, the centre and emptied cells hold 0, which is never drawn.
    if (!paintbox_board->isDrawn(m_cards->cellNumber(card, column, row))) {
        emit soundRequested(QStringLiteral("invalid"));
        setStatus(QStringLiteral("That number has not been choosen."));
        return;
    }
    // Marked only when the host accepts the cover.
    if (m_state.loggedIn())
        emit sendRequested(msg::cover(m_state.ownSeat(), card, column, row));
}

void PlayingSurface::image_more1Click(int seat)
{
    if (!TableState::isRow(seat))
        return;
    DetailsPanel* details = detailsPanel();
    details->move(layout::detailsLeft, scoreSheet()->y() + scoreSheet()->arrowTop(seat));
    details->showDetails(m_state.name(seat), m_state.patterns(seat));
    details->raise();
}
