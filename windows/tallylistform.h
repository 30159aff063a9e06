#pragma once

#include "tally/tallyfile.h"
#include "tally/tallytable.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QListWidgetItem;

namespace Ui {
class Ttallylist;
}

// The tally window: the player's own games and wins, and for every followed opponent the
// games played together and who won them, in total and since this run started. The tally
// file is read when the window is made and written when it goes (and by save()).
//
// What the main window uses:
//   setMainWindow(w)      the window it opens centred on
//   setSeatNames(f)       f() gives the names on seat labels 1 to 7 without the own seat
//   loadchecklist()       refills "Players In Current Game" from f(); loadchecklist(names)
//                         takes the names directly. Labels reading "<Waiting>" or nothing
//                         are skipped here too.
//   showTally()           the View menu's "View Tally": refills the list and shows the window
//   addgame(winner)       a game ended with the own seat playing: the winner's name, or
//                         "addtomine" when the user won. Spies never call it.
//   notice(text)          signal: a system chat line (code 0) to show. A damaged file's
//                         notice comes from the event loop after construction, so connect
//                         it before returning there.
//   save()                writes the file now; the main window's close calls it.
class Ttallylist : public QDialog {
    Q_OBJECT
public:
    // Asked for every Yes/No question; true is Yes. Tests answer without a modal box.
    using QuestionAsker = std::function<bool(QWidget* parent, const QString& question)>;

    // Reads the tally file at tallyPath; a missing file gives an empty tally.
    explicit Ttallylist(const QString& tallyPath, QWidget* parent = nullptr);
    // Writes the tally file unless nothing changed since the last write.
    ~Ttallylist() override;

    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    void setSeatNames(std::function<QStringList()> seatNames)
    {
        m_seatNames = std::move(seatNames);
    }
    void setQuestionAsker(QuestionAsker asker);

    void loadchecklist();
    void loadchecklist(const QStringList& namesOnSeatLabels);
    void addgame(const QString& winner);

    // Replaces the tally file with the table (whole, or not at all). False when it could
    // not be written or when a file that could not be read must not be overwritten.
    bool save();

    QString tallyPath() const { return m_file.path(); }
    const TallyTable& table() const { return m_table; }

public slots:
    void showTally();

signals:
    void notice(const QString& text);

private:
    void FormCreate();
    void checklistClickCheck(QListWidgetItem* item);
    void listbox_tallyClickCheck();
    void listbox_tallyClick();
    void button_resetClick();
    void button_doneClick();

    void follow(const QString& opponent);
    void drop(int listRow);
    void showOwnTotals();
    void showOpponent(int row);
    // The eight count labels from a row; zeros for no row.
    void showCounts(int row);
    void tickInCurrentGame(const QString& opponent, bool followed);
    void noticeLater(const QString& text);
    void changed() { m_changed = true; }

    std::unique_ptr<Ui::Ttallylist> m_ui;
    TallyFile m_file;
    TallyTable m_table;
    QuestionAsker m_ask;
    std::function<QStringList()> m_seatNames;
    QPointer<QWidget> m_mainWindow;
    bool m_changed = false;
    bool m_everSaved = false;
    bool m_checkPending = false;
    bool m_asking = false;
};
