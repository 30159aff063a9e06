#include "client/tablemenus.h"

#include "client/chatview.h"
#include "client/settings.h"
#include "client/tablestate.h"
#include "net/messages.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace {
QAction* checkItem(QMenu* menu, const char* caption, const char* name, bool checked)
{
    QAction* item = menu->addAction(QString::fromLatin1(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(true);
    item->setChecked(checked);
    return item;
}

// Checks the item of a radio submenu whose tag is value, and only that one.
void checkByTag(QMenu* submenu, int value)
{
    for (QAction* item : submenu->actions())
        item->setChecked(item->data().toInt() == value);
}
} // namespace

TableMenus::TableMenus(const TableState& state, QMenuBar* bar, QMenu* chatMenu, QWidget* parent)
    : QObject(parent), m_state(state)
{
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    StartGame1 = item(file, "Start Game", "StartGame1", &TableMenus::startGameClicked);
    StartGame1->setEnabled(false);
    item(file, "Play with Others...", "PlayWithOthers1", &TableMenus::playWithOthersClicked);
    file->addSeparator();
    item(file, "Exit", "Exit1", &TableMenus::exitClicked);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    m_optionsMenu = options;
    PlaySounds1 = checkItem(options, "Play Sounds", "PlaySounds1", true);
    connect(PlaySounds1, &QAction::triggered, this, [this](bool on) {
        m_options.playSounds = on;
        emit optionsChanged();
    });
    PlayerPhraseSounds1 = checkItem(options, "Player Phrase Sounds", "PlayerPhraseSounds1", true);
    connect(PlayerPhraseSounds1, &QAction::triggered, this, [this](bool on) {
        m_options.playerPhraseSounds = on;
        emit optionsChanged();
    });
    m_turnSound = radioMenu(options, "Turn Sound", "TurnSound1",
                            {{"Classic", "Classic1", 0}, {"New", "New1", 1}}, m_options.turnSound,
                            &TableMenus::setTurnSound);
    m_botSpeed =
        radioMenu(options, "Bot Speed", "BotSpeed1",
                  {{"Slow", "Slow1", 1500}, {"Normal", "Normal1", 750}, {"Fast", "Fast1", 250}},
                  m_options.botSpeedMs, &TableMenus::setBotSpeed);
    m_delay = radioMenu(options, "Time Between Round Delay", "TimeBetweenRoundDelay1",
                        {{"Short", "Short1", 10}, {"Normal", "Normal2", 15}, {"Long", "Long1", 25}},
                        m_options.secondsBetweenRounds, &TableMenus::setDelay);
    options->addSeparator();
    item(options, "Text Color", "TextColor1", &TableMenus::textColourClicked);
    m_textSize = radioMenu(options, "Text Size", "TextSize1",
                           {{"8", "TextSize8", 8},
                            {"10", "TextSize10", 10},
                            {"12", "TextSize12", 12},
                            {"14", "TextSize14", 14}},
                           ChatView::defaultTextSize, &TableMenus::textSizeChosen);
    // A size read from the settings that has no item checks none.
    m_textSize->actions().first()->actionGroup()->setExclusionPolicy(
        QActionGroup::ExclusionPolicy::ExclusiveOptional);

    // One item in the Options menu and in the chat view's menu.
    QAction* scrollOff = checkItem(options, "Scroll Chat Off", "ScrollChatOff1", false);
    scrollOff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(scrollOff, &QAction::toggled, this, &TableMenus::scrollOffChanged);
    QAction* clear =
        item(options, "Clear Main Chat", "ClearMainChat1", &TableMenus::clearChatClicked);
    item(options, "Reset Screen Location", "ResetScreenLocation1", &TableMenus::resetPlaceClicked);
    options->addSeparator();
    JustWatch1 = checkItem(options, "Just Watch", "JustWatch1", false);
    connect(JustWatch1, &QAction::triggered, this, &TableMenus::JustWatch1Click);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    item(view, "View Tally", "ViewTally1", &TableMenus::viewTallyRequested);
    item(view, "Spy List", "SpyList1", &TableMenus::spyListRequested);
    item(view, "Phrase List", "PhraseList1", &TableMenus::phraseListRequested);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    item(help, "Content", "Content1", &TableMenus::helpRequested)
        ->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    item(help, "About", "About1", &TableMenus::aboutRequested);

    chatMenu->addAction(clear);
    chatMenu->addSeparator();
    chatMenu->addAction(scrollOff);

    ChoosenBingoBalls1 = checkItem(view, "Choosen Bingo Balls", "ChoosenBingoBalls1", false);
    // The item's mark follows the panel, not the click.
    connect(ChoosenBingoBalls1, &QAction::triggered, this, [this](bool on) {
        ChoosenBingoBalls1->setChecked(!on);
        emit chosenBallsClicked();
    });
    buildSeatPopup(parent);
    // F10 opens the first menu, as on other desktops; Linux styles give it no key.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), parent), &QShortcut::activated, bar,
            [bar] { bar->setActiveAction(bar->actions().first()); });
}

QAction* TableMenus::item(QMenu* menu, const char* caption, const char* name,
                          void (TableMenus::*signal)())
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, signal);
    return action;
}

QMenu* TableMenus::radioMenu(QMenu* parent, const char* title, const char* name,
                             std::initializer_list<Choice> choices, int checked,
                             void (TableMenus::*chosen)(int))
{
    QMenu* submenu = parent->addMenu(QString::fromLatin1(title));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name));
    auto* group = new QActionGroup(submenu);
    for (const Choice& choice : choices) {
        QAction* action = checkItem(submenu, choice.caption, choice.name, choice.tag == checked);
        action->setData(choice.tag);
        group->addAction(action);
    }
    connect(group, &QActionGroup::triggered, this, [this, chosen](QAction* action) {
        action->setChecked(true);
        (this->*chosen)(action->data().toInt());
    });
    return submenu;
}

void TableMenus::buildSeatPopup(QWidget* parent)
{
    popup_kick = new QMenu(parent);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    const auto add = [this](const char* caption, const char* name, auto command) {
        QAction* action = popup_kick->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    RemoveFromGame1 = add("Remove From Game", "RemoveFromGame1", [this] { kicking(m_popupSeat); });
    // Seats with a row only.
    SettoJustWatch1 = add("Set to Just Watch", "SettoJustWatch1", [this] {
        if (m_state.loggedIn() && TableState::isRow(m_popupSeat))
            emit sendRequested(msg::justwatch(m_popupSeat, 1));
    });
    UnsetJustWatch1 = add("Unset Just Watch", "UnsetJustWatch1", [this] {
        if (m_state.loggedIn() && TableState::isRow(m_popupSeat))
            emit sendRequested(msg::justwatch(m_popupSeat, 2));
    });
}

void TableMenus::setTurnSound(int tag)
{
    m_options.turnSound = tag;
    emit optionsChanged();
}

void TableMenus::setBotSpeed(int tag)
{
    m_options.botSpeedMs = tag;
    emit optionsChanged();
}

void TableMenus::setDelay(int tag)
{
    m_options.secondsBetweenRounds = tag;
    emit optionsChanged();
}

void TableMenus::storeIn(Settings& s) const
{
    s.botSpeedMs = m_options.botSpeedMs;
    s.timeDelaySeconds = m_options.secondsBetweenRounds;
    s.turnSound = m_options.turnSound;
    s.playSounds = m_options.playSounds;
    s.playerPhraseSounds = m_options.playerPhraseSounds;
}

void TableMenus::loadFrom(const Settings& s)
{
    m_options = {s.playSounds, s.playerPhraseSounds, s.turnSound, s.botSpeedMs, s.timeDelaySeconds};
    checkByTag(m_textSize, s.textSize);
    checkByTag(m_botSpeed, s.botSpeedMs);
    checkByTag(m_delay, s.timeDelaySeconds);
    checkByTag(m_turnSound, s.turnSound);
    PlaySounds1->setChecked(s.playSounds);
    PlayerPhraseSounds1->setChecked(s.playerPhraseSounds);
}

void TableMenus::setStartAvailable(bool available)
{
    StartGame1->setEnabled(available);
}

void TableMenus::setJustWatch(bool checked)
{
    JustWatch1->setChecked(checked);
}

void TableMenus::setChosenPanelMark(bool open)
{
    ChoosenBingoBalls1->setChecked(open);
}

void TableMenus::label_playername1ContextPopup(int seat, bool occupied, const QPoint& globalPos)
{
    RemoveFromGame1->setEnabled(m_state.hostMode() && occupied);
    SettoJustWatch1->setEnabled(m_state.hostMode());
    UnsetJustWatch1->setEnabled(m_state.hostMode());
    m_popupSeat = seat;
    popup_kick->popup(globalPos);
}

void TableMenus::kicking(int seat)
{
    if (m_state.hostMode() && m_state.loggedIn())
        emit sendRequested(msg::kickhim(m_state.ownSeat(), seat));
}

void TableMenus::JustWatch1Click()
{
    // The check mark follows the host's answer, not the click.
    const bool watching = !JustWatch1->isChecked();
    JustWatch1->setChecked(watching);
    if (m_state.loggedIn() && TableState::isRow(m_state.ownSeat()))
        emit sendRequested(msg::justwatch(m_state.ownSeat(), watching ? 2 : 1));
}
