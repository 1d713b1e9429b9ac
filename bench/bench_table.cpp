// What reading a large table from a selection and writing it back cost.
//
//   bench_table
//
// A table of 200 rows of 200 cells (40,000 cells, about 1 MB of code) is built with the table
// builder, then read back with ReadTable and written again with BuildTableCode, 5 times each;
// printed are the median and worst time against the target of 200 ms each. Then the reading of
// two malformed shapes of that table: the walk over the tags must stay linear whatever it meets. Last,
// the dialog itself over a document whose selection is the table: opening it and Add. Figures
// only: the exit status is non-zero only when a result is plainly wrong (a table read back that differs from
// the one written).

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "markup/TableModel.h"
#include "platform/RichTextControl.h"
#include "wizards/frmTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 200;
constexpr int kCellsPerRow = 200;
constexpr int kRounds = 5;
constexpr double kTargetMs = 200;

TableModel largeTable() {
    TableModel model;
    model.Table.Border = QStringLiteral("1");
    model.Table.Width = QStringLiteral("100%");
    for (int r = 0; r < kRows; ++r) {
        const int row = model.addRow();
        for (int c = 0; c < kCellsPerRow; ++c) {
            TableCell cell;
            cell.Contents = QStringLiteral("r%1c%2").arg(r).arg(c);
            if (c % 4 == 0)
                cell.BgColor = QStringLiteral("#ffcc00");
            if (c % 10 == 0)
                cell.Other = QStringLiteral("ALIGN=\"right\"");
            model.addCell(row, &cell);
        }
    }
    return model;
}

// Times `run` kRounds times and prints the figures; returns whether the target was met.
template <typename Run> bool timeIt(const char* what, Run run) {
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(milliseconds(timer));
    }
    const bool met = median(times) < kTargetMs;
    std::printf("    %-34s %8.1f ms median of %d (worst %.1f ms): under %.0f ms %s\n", what, median(times),
                kRounds, worst(times), kTargetMs, met ? "met" : "MISSED");
    return met;
}

// The dialog over a document whose selection is the table: opening it (reading the table and
// filling the tree) and Add (writing it back over the selection as one undo step, coloured).
bool timeDialog(const QString& code) {
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path() + "/config");
    frmQuillora main(home.path() + "/program");
    main.startUp({}, false);
    frmNotepad* document = main.documents().current();
    if (!document)
        return false;
    bool met = true;
    std::printf("  in the dialog, over a document holding the table\n");
    for (int round = 0; round < 2; ++round) {
        document->txtRich->setText(code);
        document->txtRich->setSelStart(0);
        document->txtRich->setSelLength(static_cast<int>(code.size()));
        QElapsedTimer timer;
        timer.start();
        frmTable dialog(main, &main);
        const double opened = milliseconds(timer);
        timer.restart();
        dialog.cmdAdd_Click();
        const double added = milliseconds(timer);
        met &= opened < kTargetMs && added < kTargetMs;
        std::printf("    round %d: opening %.1f ms, Add %.1f ms (target %.0f ms each)\n", round + 1, opened,
                    added, kTargetMs);
    }
    return met;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TableModel model = largeTable();
    const QString indent = QStringLiteral("\t");
    const QString code = BuildTableCode(model, indent);
    std::printf("a table of %d rows of %d cells: %lld characters (%.2f MiB as UTF-8)\n", kRows, kCellsPerRow,
                static_cast<long long>(code.size()),
                static_cast<double>(code.toUtf8().size()) / (1024.0 * 1024.0));

    bool allMet = true;
    std::optional<TableReading> reading;
    allMet &= timeIt("ReadTable", [&] { reading = ReadTable(code); });
    if (!reading || reading->model.CellCount != kRows * kCellsPerRow) {
        std::fprintf(stderr, "the table read back holds %d cells\n", reading ? reading->model.CellCount : 0);
        return 1;
    }
    QString again;
    allMet &= timeIt("BuildTableCode", [&] { again = BuildTableCode(reading->model, indent); });
    if (again != code) {
        std::fprintf(stderr, "the table written again differs from the one read\n");
        return 1;
    }

    // Malformed shapes of the same table, each still read in one walk: every end tag left out
    // (each cell then ends at the next), and every cell's start tag opening a quote that only the
    // next cell's start tag closes (so cells run together in pairs).
    QString open = code;
    open.remove(QStringLiteral("</TD>")).remove(QStringLiteral("</TR>")).remove(QStringLiteral("</TABLE>"));
    QString quoted = code;
    quoted.replace(QStringLiteral("<TD>"), QStringLiteral("<TD TITLE=\"x>"));
    const struct {
        const char* what;
        const QString& text;
    } shapes[] = {{"without end tags", open}, {"with runaway quotes", quoted}};
    for (const auto& shape : shapes) {
        std::printf("  %s, %lld characters\n", shape.what, static_cast<long long>(shape.text.size()));
        allMet &= timeIt("ReadTable", [&] { reading = ReadTable(shape.text); });
        std::printf("    %d rows, %d cells read\n", reading->model.RowCount, reading->model.CellCount);
    }

    allMet &= timeDialog(code);
    std::printf("  peak memory %.1f MiB; all under %.0f ms: %s\n",
                static_cast<double>(peakMemoryKiB()) / 1024.0, kTargetMs, allMet ? "met" : "MISSED");
    std::fflush(stdout);
    return 0;
}
