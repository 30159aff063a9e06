#include "windows/tallylistform.h"

#include "client/gamecounted.h"
#include "net/table.h"
#include "platform/logging.h"
#include "platform/placement.h"
#include "ui_tallylistform.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalBlocker>

namespace {
const QString placeholder = QStringLiteral("XX");

bool askWithBox(QWidget* parent, const QString& question)
{
    return QMessageBox::question(parent, QStringLiteral("Quorvel"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}
} // namespace

Ttallylist::Ttallylist(const QString& tallyPath, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::Ttallylist>()), m_file(tallyPath),
      m_ask(askWithBox)
{
    m_ui->setupUi(this);
    setFixedSize(475, 347);
    m_ui->label_total3->hide();
    m_ui->label_total4->hide();

    connect(m_ui->checklist, &QListWidget::itemChanged, this, &Ttallylist::checklistClickCheck);
    // The question waits for the click to finish: its answer may delete the clicked item.
    connect(m_ui->listbox_tally, &QListWidget::itemChanged, this, [this] {
        if (m_checkPending)
            return;
        m_checkPending = true;
        QMetaObject::invokeMethod(this, &Ttallylist::listbox_tallyClickCheck, Qt::QueuedConnection);
    });
    connect(m_ui->listbox_tally, &QListWidget::itemSelectionChanged, this,
            &Ttallylist::listbox_tallyClick);
    connect(m_ui->button_reset, &QPushButton::clicked, this, &Ttallylist::button_resetClick);
    connect(m_ui->button_done, &QPushButton::clicked, this, &Ttallylist::button_doneClick);

    FormCreate();
}

Ttallylist::~Ttallylist()
{
    if (m_changed || !m_everSaved)
        save();
}

void Ttallylist::setQuestionAsker(QuestionAsker asker)
{
    m_ask = asker ? std::move(asker) : QuestionAsker(askWithBox);
}

void Ttallylist::FormCreate()
{
    TallyFile::Read stored = m_file.read();
    m_table = std::move(stored.table);
    m_table.startSession();
    if (!stored.notice.isEmpty())
        noticeLater(stored.notice);
    if (stored.replace)
        changed();
    showOwnTotals();
    const QSignalBlocker blocker(m_ui->listbox_tally);
    for (int row = 1; row < m_table.rowCount(); ++row) {
        auto* item = new QListWidgetItem(m_table.cell(row, TallyTable::name), m_ui->listbox_tally);
        item->setCheckState(Qt::Checked);
    }
}

// Nobody can be connected to the signal while the constructor runs.
void Ttallylist::noticeLater(const QString& text)
{
    qCInfo(lcWindows) << "tally notice:" << text;
    QMetaObject::invokeMethod(
        this, [this, text] { emit notice(text); }, Qt::QueuedConnection);
}

bool Ttallylist::save()
{
    if (!m_file.write(m_table))
        return false;
    m_changed = false;
    m_everSaved = true;
    return true;
}

void Ttallylist::showTally()
{
    loadchecklist();
    if (!isVisible())
        centreWindowOn(this, m_mainWindow);
    showInFront(this);
}

void Ttallylist::loadchecklist()
{
    if (m_seatNames)
        loadchecklist(m_seatNames());
}

void Ttallylist::loadchecklist(const QStringList& namesOnSeatLabels)
{
    const QSignalBlocker blocker(m_ui->checklist);
    m_ui->checklist->clear();
    for (const QString& name : namesOnSeatLabels) {
        if (name.isEmpty() || name == table::waitingName)
            continue;
        auto* item = new QListWidgetItem(name, m_ui->checklist);
        item->setCheckState(m_table.findRow(name) > 0 ? Qt::Checked : Qt::Unchecked);
    }
}

void Ttallylist::addgame(const QString& winner)
{
    loadchecklist();
    m_table.addOne(0, TallyTable::ownGames);
    if (winner == userWonGame)
        m_table.addOne(0, TallyTable::ownWins);
    showOwnTotals();

    // A name on two seat labels is still one game for that opponent.
    QStringList counted;
    for (int index = 0; index < m_ui->checklist->count(); ++index) {
        const QString name = m_ui->checklist->item(index)->text();
        const int row = m_table.findRow(name);
        if (row < 1 || counted.contains(name))
            continue;
        counted.append(name);
        for (int column = TallyTable::games; column < TallyTable::columnCount; ++column) {
            if (m_table.cell(row, column).isEmpty())
                m_table.setCell(row, column, QStringLiteral("0"));
        }
        int column = TallyTable::neitherWon;
        if (name == winner)
            column = TallyTable::theirWins;
        else if (winner == userWonGame)
            column = TallyTable::yourWins;
        for (const int counter : {int(TallyTable::games), column}) {
            m_table.addOne(row, counter);
            m_table.addOne(row, counter + TallyTable::sessionOffset);
        }
    }
    changed();
    if (!m_ui->listbox_tally->selectedItems().isEmpty())
        listbox_tallyClick();
}

// A tick in "Players In Current Game" follows that opponent; clearing the tick of a
// followed name puts it back. Only the clicked name counts: after a reset the other ticks
// may show names no longer followed.
void Ttallylist::checklistClickCheck(QListWidgetItem* item)
{
    const bool ticked = item->checkState() == Qt::Checked;
    const bool followed = m_table.findRow(item->text()) > 0;
    if (ticked && !followed) {
        follow(item->text());
    } else if (!ticked && followed) {
        const QSignalBlocker blocker(m_ui->checklist);
        item->setCheckState(Qt::Checked);
    }
}

void Ttallylist::follow(const QString& opponent)
{
    m_table.appendRow(opponent);
    {
        const QSignalBlocker blocker(m_ui->listbox_tally);
        auto* item = new QListWidgetItem(opponent, m_ui->listbox_tally);
        item->setCheckState(Qt::Checked);
    }
    changed();
}

// A cleared tick in "Players Being Tallied" asks before the opponent's counts go.
void Ttallylist::listbox_tallyClickCheck()
{
    m_checkPending = false;
    if (m_asking)
        return; // the open question's loop sees this tick too
    QListWidget* list = m_ui->listbox_tally;
    for (int index = 0; index < list->count(); ++index) {
        if (list->item(index)->checkState() == Qt::Checked)
            continue;
        const QString name = list->item(index)->text();
        m_asking = true;
        const bool yes = m_ask(this, QStringLiteral("This will delete ") + name +
                                         QStringLiteral("'s Tally, Are you want to delete it?"));
        m_asking = false;
        // Rows are removed only here and by the reset, which the open question blocks.
        if (index >= list->count() || list->item(index)->text() != name)
            continue;
        if (yes) {
            drop(index--);
        } else {
            const QSignalBlocker blocker(list);
            list->item(index)->setCheckState(Qt::Checked);
        }
    }
}

void Ttallylist::drop(int listRow)
{
    const QString name = m_ui->listbox_tally->item(listRow)->text();
    m_table.removeRow(listRow + 1);
    {
        const QSignalBlocker blocker(m_ui->listbox_tally);
        delete m_ui->listbox_tally->takeItem(listRow);
    }
    if (m_table.findRow(name) < 1)
        tickInCurrentGame(name, false);
    changed();
    listbox_tallyClick();
}

void Ttallylist::tickInCurrentGame(const QString& opponent, bool followed)
{
    const QSignalBlocker blocker(m_ui->checklist);
    for (int index = 0; index < m_ui->checklist->count(); ++index) {
        QListWidgetItem* item = m_ui->checklist->item(index);
        if (item->text() == opponent)
            item->setCheckState(followed ? Qt::Checked : Qt::Unchecked);
    }
}

void Ttallylist::listbox_tallyClick()
{
    const QList<QListWidgetItem*> selected = m_ui->listbox_tally->selectedItems();
    showOpponent(selected.isEmpty() ? -1 : m_ui->listbox_tally->row(selected.first()) + 1);
}

void Ttallylist::showOpponent(int row)
{
    const bool known = row >= 1 && row < m_table.rowCount();
    const QString name = known ? m_table.cell(row, TallyTable::name) : placeholder;
    m_ui->label_heading->setText(name + QStringLiteral("'s Tally"));
    m_ui->label_wins->setText(name + QStringLiteral(" Wins:"));
    showCounts(row);
}

void Ttallylist::showCounts(int row)
{
    const bool known = row >= 1 && row < m_table.rowCount();
    for (int column = 1; column < TallyTable::columnCount; ++column) {
        auto* label = findChild<QLabel*>(QStringLiteral("label_count%1").arg(column));
        label->setText(known ? m_table.cell(row, column) : QStringLiteral("0"));
    }
}

void Ttallylist::showOwnTotals()
{
    for (int column = TallyTable::games; column <= TallyTable::neitherWon; ++column) {
        auto* label = findChild<QLabel*>(QStringLiteral("label_total%1").arg(column));
        label->setText(m_table.cell(0, column));
    }
}

void Ttallylist::button_resetClick()
{
    if (m_asking || !m_ask(this, QStringLiteral("Are you sure you want to reset the Tally?")))
        return;
    m_table.reset();
    showOwnTotals();
    {
        const QSignalBlocker blocker(m_ui->listbox_tally);
        m_ui->listbox_tally->clear();
    }
    changed();
    // The heading, the wins label and the ticks of the players at the table stay.
    showCounts(-1);
}

void Ttallylist::button_doneClick()
{
    hide();
}
