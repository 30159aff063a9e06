#include "client/gamestartform.h"

#include "client/settings.h"
#include "net/messages.h"
#include "ui_gamestartform.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor inkColour(0x40, 0x00, 0x40);

// The dialog's sizes are in pixels, as drawn, whatever the desktop's font size.
QFont dialogFont(int pixelSize, bool underline = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Helvetica")});
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setUnderline(underline);
    return font;
}

QPixmap canvas(QSize size, qreal pixelRatio)
{
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

Tgamestart::Tgamestart(QWidget* parent)
    : TiledDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      m_ui(std::make_unique<Ui::Tgamestart>())
{
    m_ui->setupUi(this);
    setFixedSize(257, 308);

    setFont(dialogFont(11));
    m_ui->label_title->setFont(dialogFont(24, true));
    const std::initializer_list<QWidget*> large{
        m_ui->label_playtoscore, m_ui->label_bob, m_ui->label_bobcount, m_ui->label_bots,
        m_ui->edit_playtoscore,  m_ui->edit_bob,  m_ui->edit_bobcount};
    for (QWidget* widget : large)
        widget->setFont(dialogFont(16));
    for (QLabel* caption : {m_ui->label_gt1, m_ui->label_gt2, m_ui->label_gt3})
        caption->setFont(dialogFont(13));

    const struct {
        UpDown* control;
        QLineEdit* edit;
        ValueRange range;
        int value;
    } controls[] = {
        {m_ui->UpDown1, m_ui->edit_playtoscore, playToScoreRange, 100},
        {m_ui->UpDown2, m_ui->edit_bob, penaltyRange, 10},
        {m_ui->UpDown3, m_ui->edit_bobcount, bobCountRange, 5},
    };
    for (const auto& c : controls) {
        c.control->setAssociate(c.edit);
        c.control->setMinimum(c.range.minimum);
        c.control->setMaximum(c.range.maximum);
        c.control->setIncrement(c.range.step);
        c.control->setPosition(c.value);
    }

    for (QLabel* box : boxes())
        box->installEventFilter(this);
    connect(m_ui->button_start, &QPushButton::clicked, this, &Tgamestart::button_startClick);

    drawPictures();
    changebox(botCountRange.minimum);
}

Tgamestart::~Tgamestart() = default;

int Tgamestart::playToScore() const
{
    return m_ui->UpDown1->position();
}

int Tgamestart::penalty() const
{
    return m_ui->UpDown2->position();
}

int Tgamestart::bobCount() const
{
    return m_ui->UpDown3->position();
}

int Tgamestart::gameType() const
{
    return m_ui->label_bots->property("tag").toInt();
}

void Tgamestart::setPlayToScore(int value)
{
    m_ui->UpDown1->setPosition(value);
}

void Tgamestart::setPenalty(int value)
{
    m_ui->UpDown2->setPosition(value);
}

void Tgamestart::setBobCount(int value)
{
    m_ui->UpDown3->setPosition(value);
}

void Tgamestart::loadFrom(const Settings& settings)
{
    setPlayToScore(settings.playToScore);
    setPenalty(settings.penalty);
    setBobCount(settings.bobCount);
    changebox(settings.botCount);
}

void Tgamestart::storeIn(Settings& settings) const
{
    settings.playToScore = playToScore();
    settings.penalty = penalty();
    settings.bobCount = bobCount();
    settings.botCount = gameType();
}

std::array<QLabel*, 3> Tgamestart::boxes() const
{
    return {m_ui->image_gt1, m_ui->image_gt2, m_ui->image_gt3};
}

void Tgamestart::drawBoxesEmpty()
{
    for (QLabel* box : boxes())
        box->setPixmap(imagelist_box[0]);
}

void Tgamestart::drawPictures()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_pictureRatio)
        return;
    m_pictureRatio = ratio;
    imagelist_box = {boxPicture(0, ratio), boxPicture(1, ratio)};
    m_ui->button_start->setIcon(QIcon(startPicture(ratio)));
    if (const int type = gameType(); type > 0)
        changebox(type);
}

void Tgamestart::changebox(int type)
{
    type = botCountRange.bound(type);
    m_ui->label_bots->setProperty("tag", type);
    drawBoxesEmpty();
    boxes()[size_t(type - 1)]->setPixmap(imagelist_box[1]);
}

void Tgamestart::image_gt1Click(QLabel* box)
{
    drawBoxesEmpty();
    m_ui->label_bots->setProperty("tag", box->property("tag"));
    box->setPixmap(imagelist_box[1]);
}

void Tgamestart::button_startClick()
{
    if (m_send)
        m_send(msg::startgame(m_playerName, m_ui->edit_playtoscore->text(), m_ui->edit_bob->text(),
                              m_ui->edit_bobcount->text(), gameType()));
    hide();
    emit saveRequested();
}

bool Tgamestart::eventFilter(QObject* watched, QEvent* event)
{
    const auto boxList = boxes();
    auto* box = qobject_cast<QLabel*>(watched);
    if (!box || std::find(boxList.begin(), boxList.end(), box) == boxList.end())
        return QDialog::eventFilter(watched, event);
    // A click is a press and a release on the same box, as with a button.
    if (event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_pressedBox = box;
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool clicked = mouse->button() == Qt::LeftButton && m_pressedBox == box &&
                             box->rect().contains(mouse->position().toPoint());
        m_pressedBox = nullptr;
        if (clicked)
            image_gt1Click(box);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tgamestart::showEvent(QShowEvent* event)
{
    // Made before it knew its screen, the dialog may first show on a HiDPI one.
    drawPictures();
    QDialog::showEvent(event);
}

QPixmap Tgamestart::boxPicture(int index, qreal pixelRatio)
{
    QPixmap pixmap = canvas(QSize(32, 19), pixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(inkColour, 1.5));
    painter.setBrush(QColor(0xF7, 0xF2, 0xDF));
    painter.drawRoundedRect(QRectF(8.75, 2.75, 14.5, 14.5), 2, 2);
    if (index == 1) {
        QPainterPath tick;
        tick.moveTo(11, 9.5);
        tick.lineTo(15, 14.5);
        tick.lineTo(27, 1.5);
        painter.setPen(
            QPen(QColor(0x1E, 0x7B, 0x34), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
    return pixmap;
}

QPixmap Tgamestart::startPicture(qreal pixelRatio)
{
    const QRectF frame(1, 1, 124, 38);
    QPixmap pixmap = canvas(QSize(126, 40), pixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, QColor(0x8E, 0x4F, 0x88));
    fill.setColorAt(0.5, QColor(0x58, 0x2C, 0x54));
    fill.setColorAt(1, QColor(0x3A, 0x16, 0x37));
    painter.setPen(QPen(QColor(0x2A, 0x0E, 0x28), 1.5));
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, 9, 9);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(2.5, 2.5, -2.5, -2.5), 7, 7);

    const QString text = QStringLiteral("START GAME");
    painter.setFont(dialogFont(16));
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawText(frame.translated(1, 1), Qt::AlignCenter, text);
    painter.setPen(QColor(0xFF, 0xF4, 0xC8));
    painter.drawText(frame, Qt::AlignCenter, text);
    return pixmap;
}
