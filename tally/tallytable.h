#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The tally as plain data: 9 text columns, row 0 the player's own totals and one row per
// followed opponent. Counts are decimal text, as the stored file keeps them; an empty or
// non-numeric cell counts as 0 when it is next increased.
class TallyTable {
public:
    static constexpr int columnCount = 9;
    // Row 0: games played and won. Opponent rows: name, games together, their wins, the
    // user's wins, games neither won, then the same four counts for this run alone.
    enum Column {
        name = 0,
        games = 1,
        theirWins = 2,
        yourWins = 3,
        neitherWon = 4,
    };
    // Row 0's counts.
    static constexpr int ownGames = 1;
    static constexpr int ownWins = 2;
    // Column + sessionOffset holds the same count for this run alone.
    static constexpr int sessionOffset = 4;
    using Row = std::array<QString, columnCount>;

    // Row 0 alone, every cell "0".
    TallyTable();

    int rowCount() const { return int(m_rows.size()); }
    const QString& cell(int row, int column) const { return m_rows.at(row).at(column); }
    void setCell(int row, int column, const QString& text) { m_rows.at(row).at(column) = text; }
    // Reads the cell as a decimal number (anything else is 0) and writes back one more.
    void addOne(int row, int column);

    // The first opponent row with this name, or -1.
    int findRow(const QString& opponent) const;
    // A new last row: the name and "0" in every count. Returns its index.
    int appendRow(const QString& opponent);
    // Later rows move up by one. Row 0 is never removed.
    void removeRow(int row);
    // Back to row 0 alone, with its own counts (columns 1 to 4) at "0".
    void reset();
    // Every opponent's counts for this run go back to "0".
    void startSession();

    // The stored text: column count, row count, then the cells column by column from
    // row 0 down, one per line, each line ended by CR LF. UTF-8, as on the wire.
    QByteArray toText() const;
    // Reads the stored text back. Anything that is not a whole table of 9 columns gives
    // nothing, with the reason in *why.
    static std::optional<TallyTable> fromText(const QByteArray& text, QString* why = nullptr);

private:
    std::vector<Row> m_rows;
};
