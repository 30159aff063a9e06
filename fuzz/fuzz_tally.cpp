// libFuzzer target: the tally's stored text as any bytes. A text that reads as a table
// must write back to a text that reads as the same table; counting on it must not break.
#include "tally/tallytable.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::optional<TallyTable> table =
        TallyTable::fromText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!table)
        return 0;
    const QByteArray text = table->toText();
    const std::optional<TallyTable> back = TallyTable::fromText(text);
    if (!back || back->toText() != text || back->rowCount() != table->rowCount())
        std::abort();

    // What the program does with a tally it has read: a new session, games counted.
    table->startSession();
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = TallyTable::games; column < TallyTable::columnCount; ++column)
            table->addOne(row, column);
        if (table->findRow(table->cell(row, TallyTable::name)) < 0 && row > 0)
            std::abort();
    }
    table->removeRow(table->rowCount() - 1);
    table->appendRow(QStringLiteral("Ann"));
    if (!TallyTable::fromText(table->toText()))
        std::abort();
    return 0;
}
