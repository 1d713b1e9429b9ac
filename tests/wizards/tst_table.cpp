#include "markup/TableModel.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/ShellFixture.h"
#include "wizards/frmTable.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// "name=value" of the values that are set, joined by commas; `names` separated by blanks.
QString set(const char* names, const QStringList& values) {
    QStringList out;
    for (int i = 0; i < values.size(); ++i)
        if (!values[i].isEmpty())
            out << QString(names).split(' ')[i] + "=" + values[i];
    return out.join(',');
}

// A model in one line: T{table attributes}, per row "R(attributes):", its cells TD/TH{attributes}[contents].
QString dump(const TableModel& m) {
    const TableAttributes& t = m.Table;
    QString out = QString("T{%1}").arg(
        set("W H B BC BG BK P S C O", {t.Width, t.Height, t.Border, t.BorderColor, t.BackColor, t.Background,
                                       t.Padding, t.Spacing, t.Class, t.Other}));
    for (const TableRow& row : m.Rows) {
        out += row.Attributes.isEmpty() ? QString(" R:") : " R(" + row.Attributes + "):";
        for (const int number : row.Cells) {
            const TableCell& c = m.Cells[number];
            const QString a = set("bg cs rs o", {c.BgColor, c.Colspan, c.Rowspan, c.Other});
            out += (c.Header ? " TH" : " TD") + (a.isEmpty() ? "" : "{" + a + "}") + "[" + c.Contents + "]";
        }
    }
    return out;
}

// Row numbers with their cells' contents ("_" for none), then RowCount, CellCount, CurrentCell.
QString layout(const TableModel& m) {
    QStringList parts;
    for (const TableRow& row : m.Rows) {
        QStringList cells;
        for (const int number : row.Cells)
            cells << (m.Cells[number].Contents.isEmpty() ? "_" : m.Cells[number].Contents);
        parts << QString::number(row.Number) + "[" + cells.join(' ') + "]";
    }
    return parts.join(' ') + QString(" R%1 C%2 @%3").arg(m.RowCount).arg(m.CellCount).arg(m.CurrentCell);
}

} // namespace

class TableTest : public QObject {
    Q_OBJECT

private slots:
    // The dump of the table read and the text behind the part read; "none": no table read.
    void read_data() {
        table(
            {"text", "expected", "rest"},
            {R"(upper case, unquoted last; <TABLE BORDER="1" WIDTH="80"><TR><TD BGCOLOR="red" COLSPAN=12>a</TD>)"
             R"(<TH>b</TH></TR></TABLE>; T{W=80,B=1} R: TD{bg=red,cs=12}[a] TH[b]; )",
             R"(other text; <TABLE SUMMARY="s" WIDTH="5" CLASS=c BORDERCOLOR="#fff"></TABLE>; )"
             R"(T{W=5,BC=#fff,C=c,O=SUMMARY="s"}; )",
             R"(lower case; <table border=2 bordercolor=red><tr valign=top><td rowspan="2">a</td></tr></table>; )"
             R"(T{B=2,O=bordercolor=red} R(valign=top): TD{rs=2}[a]; )",
             "nested; <TABLE><TR><TD>x<TABLE><TR><TD>in</TD></TR></TABLE>y</TD><TD>z</TD></TR><TR><TD>w</TD>"
             "</TR></TABLE>after; T{} R: TD[x<TABLE><TR><TD>in</TD></TR></TABLE>y] TD[z] R: TD[w]; after",
             "no end tags; <TABLE><TR><TD>é<TH>b<TR><TD>😀</TABLE>€; T{} R: TD[é] TH[b] R: TD[😀]; €",
             "no cell or table end; <TABLE><TR><TD>a</TD><TD>b\r\n; T{} R: TD[a] TD[b\r\n]; ",
             R"~(> in quotes; <TABLE TITLE="a>b"><TR CLASS='x>y'><TD ONCLICK="f(a>b)">c</TD></TR></TABLE>; )~"
             R"~(T{O=TITLE="a>b"} R(CLASS='x>y'): TD{o=ONCLICK="f(a>b)"}[c]; )~",
             "whitespace; "
             "<TABLE\tBORDER=\"1\"\r\tSUMMARY=\"s\"\r\n><TR\t><TD\r\nNOWRAP\t>a</TD></TR></TABLE>; "
             "T{B=1,O=SUMMARY=\"s\"} R: TD{o=NOWRAP}[a]; ",
             "sections; <TABLE><THEAD><TR><TH>h</THEAD><TBODY><TD>d</TBODY></TABLE>; T{} R: TH[h] R: TD[d]; ",
             "whole names; <TABLE><TR><TD>a<TDX>b</TD><TRACK></TR></TABLE>; T{} R: TD[a<TDX>b]; ",
             "cell without row; <TABLE><TD>a</TD></TABLE>; T{} R: TD[a]; ",
             "comment; <TABLE><TR><TD>a<!--</TD><TD>--></TD></TR></TABLE>; T{} R: TD[a<!--</TD><TD>-->]; ",
             "unclosed quote; <TABLE><TR><TD TITLE=\"x>a</TD></TR></TABLE>; T{} R: TD{o=TITLE=\"x}[a]; ",
             "line break behind; <TABLE></TABLE>\r\n\r\nx; T{}; \r\nx", "bare start tag; <TABLE; T{}; ",
             "longer name; <TABLES></TABLES>; none; ",
             "blank after = kept, < in text; <TABLE><TR><TD BGCOLOR= red>a < b</TD></TR></TABLE>; "
             "T{} R: TD{o=BGCOLOR= red}[a < b]; "});
        const QString cell(70000, 'x');
        QTest::newRow("a cell over 65536") << "<TABLE><TD>" + cell << "T{} R: TD[" + cell + "]" << QString();
    }
    void read() {
        QFETCH(QString, text);
        const std::optional<TableReading> reading = ReadTable(text);
        QTEST(reading ? dump(reading->model) : QString("none"), "expected");
        if (reading) {
            QTEST(text.mid(reading->length), "rest");
            QCOMPARE(reading->model.CurrentCell, reading->model.CellCount > 0 ? 1 : 0);
        }
    }

    void build() {
        TableModel m = NewTable(); // a new table as written: the dialogs test
        m.Table = {"3", "2", "1", "6", "7", "8", "4", "5", "c", " SUMMARY=\"s\"\t"};
        m.Cells[1] = {true, "2", "3", "red", "x\r\ny", " \tNOWRAP "};
        m.Rows[0].Attributes = "ALIGN=left";
        m.addRow();
        QCOMPARE(
            BuildTableCode(m, "  "),
            R"(<TABLE CLASS="c" BORDER="1" HEIGHT="2" WIDTH="3" CELLPADDING="4" CELLSPACING="5" )"
            R"(BORDERCOLOR="6" BGCOLOR="7" BACKGROUND="8" SUMMARY="s">)"
            "\r\n  <TR ALIGN=left>\r\n    <TH BGCOLOR=\"red\" COLSPAN=\"2\" ROWSPAN=\"3\" NOWRAP>x\r\ny</TH>"
            "\r\n  </TR>\r\n  <TR>\r\n  </TR>\r\n</TABLE>\r\n");
    }

    // From rows 1[c1 c2 c3] 2[c4 c5] 3[c6]: "-" deletes, "^" moves up, "v" down, "+" adds, a row
    // (r) or cell (c) by number; "+r1" adds a copy of row 1, "+c2" a cell to row 2.
    void operations_data() {
        table({"ops", "expected"},
              {"delete middle of three; -c2; 1[c1 c3] 2[c4 c5] 3[c6] R3 C6 @1",
               "rows down and up; vr1 ^r3; 2[c4 c5] 3[c6] 1[c1 c2 c3] R3 C6 @1",
               "within a row; vc1 ^c3; 1[c2 c3 c1] 2[c4 c5] 3[c6] R3 C6 @1",
               "over the row edges; vc3 ^c4; 1[c1 c2 c4] 2[c5 c3] 3[c6] R3 C6 @1",
               "into an emptied row; ^c6 vc5 vc5; 1[c1 c2 c3] 2[c4 c6] 3[c5] R3 C6 @1",
               "copy of a row; +r2; 1[c1 c2 c3] 2[c4 c5] 3[c6] 4[c4 c5] R4 C8 @1",
               "numbers go on, a new cell is current; -r2 +r -c6 +c3; 1[c1 c2 c3] 3[_] 4[] R4 C7 @7",
               "no moves; ^c1 vc6 ^r1 vr3 -c9 -r9 +c9 ^c0 vr0; 1[c1 c2 c3] 2[c4 c5] 3[c6] R3 C6 @1"});
    }
    void operations() {
        TableModel m = ReadTable("<TABLE><TR><TD>c1<TD>c2<TD>c3<TR><TD>c4<TD>c5<TR><TD>c6")->model;
        for (const QString& op : cell("ops").split(' ')) {
            const int number = op.mid(2).toInt();
            const bool row = op.at(1) == 'r';
            if (op.at(0) == '-')
                row ? m.deleteRow(number) : m.deleteCell(number);
            else if (op.at(0) == '+')
                row ? m.addRow(number) : m.addCell(number);
            else
                row ? m.moveRow(number, op.at(0) == '^' ? -1 : 1)
                    : m.moveCell(number, op.at(0) == '^' ? -1 : 1);
        }
        QTEST(layout(m), "expected");
        QCOMPARE(int(m.Cells.size()), m.CellCount + 1);
        const TableReading again = *ReadTable(BuildTableCode(m, "\t")); // every cell placed is written
        QCOMPARE(dump(again.model), dump(m));
    }

    // Random tables written, read back and written again: the same table, the same code.
    void roundTrip() {
        QRandomGenerator random(4711);
        const auto pick = [&random](std::initializer_list<QString> items) {
            return items.begin()[random.bounded(int(items.size()))];
        };
        const auto value = [&pick] { return pick({"", "", "1", "80%", "#ff0000", "a b", "x>y"}); };
        for (int round = 0; round < 300; ++round) {
            TableModel m;
            const QString other = pick({"", "SUMMARY=\"s\"", "BORDERCOLOR=red", "ID=t DIR='ltr'"});
            m.Table = {value(), value(), value(), value(), value(),
                       value(), value(), value(), value(), other};
            for (int rows = random.bounded(4); rows > 0; --rows) {
                const int row = m.addRow();
                m.Rows.back().Attributes = pick({"", "ALIGN=\"left\"", "VALIGN=top ID='r'"});
                for (int cells = random.bounded(4); cells > 0; --cells) {
                    TableCell c{random.bounded(2) == 1, value(), value(), value(), "", ""};
                    c.Other = pick({"", "NOWRAP", "STYLE=\"a:b\" ID=x", "TITLE='it'"});
                    for (int piece = random.bounded(4); piece > 0; --piece)
                        c.Contents += pick({"a", " ", "\r\n", "<B>b</B>", "&amp;", "\"", ">", "'",
                                            "<TABLE><TR><TD>i</TD></TR></TABLE>"});
                    m.addCell(row, &c);
                }
            }
            const QString indent = pick({"\t", "  ", ""});
            const QString code = BuildTableCode(m, indent);
            const std::optional<TableReading> reading = ReadTable(code + "after");
            QVERIFY(reading);
            QCOMPARE(reading->length, int(code.size()));
            QCOMPARE(dump(reading->model), dump(m));
            QCOMPARE(BuildTableCode(reading->model, indent), code);
        }
    }

    // A selected table edited and written back as one step; then a new table, and Add with no document.
    void dialogs() {
        ShellFixture app;
        frmNotepad* document = (app.start(), app.document(0));
        const QString table =
            R"(<table border="1" width="80"><tr><td bgcolor="red">a</td><th>b</th></tr></table>)";
        const QString head = QString(70000, 'x') + "é "; // a line the editor shows in pieces
        const QString original = head + table + " tail";
        document->txtRich->setText(original);
        document->txtRich->select(int(head.size()), int(table.size()) + 5);
        QPointer<frmTable> dialog = new frmTable(*app.main, app.main.get());
        QTreeWidget* tree = dialog->treTable;
        const auto node = [tree](int cell) { // Row1, or its cell; the tree is drawn afresh on changes
            QTreeWidgetItem* row = tree->topLevelItem(0)->child(0);
            return cell ? row->child(cell - 1) : row;
        };
        QCOMPARE(tree->currentItem()->text(0) + node(0)->text(0) + node(1)->text(0) + node(2)->text(0),
                 "TableRow1Cell1Cell2");
        QCOMPARE(dialog->txtBorderSize->text() + dialog->txtWidth->text(), "180");
        QVERIFY(dialog->txtCellContents->toPlainText().startsWith("<TABLE BORDER=\"1\" WIDTH=\"80\">"));
        const auto tab = [&dialog] { return dialog->tabTable->tabText(dialog->tabTable->currentIndex()); };
        tree->setCurrentItem(node(2));
        QCOMPARE(tab() + dialog->txtCellContents->toPlainText(), "Cell2b");
        QVERIFY(dialog->chkHeader->isChecked());
        dialog->txtCellContents->setPlainText("B");
        dialog->chkCopyCell->setChecked(true);
        dialog->cmdAddCell->click();
        QCOMPARE(tree->currentItem()->text(0), "Cell3");
        tree->setCurrentItem(node(0)); // the emptied box of a row stores nothing
        QCOMPARE(tab(), "Row1");
        QCOMPARE(dump(dialog->model()), "T{W=80,B=1} R: TD{bg=red}[a] TH[B] TH[B]");
        dialog->cmdAdd->click();
        QCOMPARE(document->txtRich->text(),
                 head + "<TABLE BORDER=\"1\" WIDTH=\"80\">\r\n\t<TR>\r\n\t\t<TD BGCOLOR=\"red\">a</TD>\r\n"
                        "\t\t<TH>B</TH>\r\n\t\t<TH>B</TH>\r\n\t</TR>\r\n</TABLE>\r\n tail");
        QVERIFY(document->undoHistory().Undo());
        QCOMPARE(document->txtRich->text(), original);
        // Reopened on the table, the caret then put at its start: Add inserts there, the old table stays.
        document->txtRich->select(int(head.size()), int(table.size()) + 5);
        dialog->close();
        dialog = new frmTable(*app.main, app.main.get());
        document->txtRich->setSelStart(int(head.size()));
        dialog->cmdAdd->click();
        QVERIFY(document->txtRich->text().endsWith("</TABLE>\r\n" + table + " tail"));
        dialog->cmdClose->click();
        ShellFixture::flush();
        QVERIFY(!dialog);

        document->txtRich->setText("x");
        document->ClearAllUndo();
        document->txtRich->setSelStart(1);
        typeText(document->txtRich, "ab");
        dialog = new frmTable(*app.main, app.main.get());
        QVERIFY(shownActive(dialog) && dialog->treTable->hasFocus());
        dialog->cmdAddCell->click();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.startsWith("Please select the row where you want the cell"));
        QCOMPARE(layout(dialog->model()), "1[_] R1 C1 @1");
        typeKeys(dialog->txtWidth, "5a%0{Return}");
        QCOMPARE(dialog->txtWidth->text() + document->txtRich->text(), "50xab");
        // A line break typed in a cell arrives as CR LF; one Ctrl+Z takes the table out, the typing stays.
        dialog->treTable->setCurrentItem(dialog->treTable->topLevelItem(0)->child(0)->child(0));
        typeKeys(dialog->txtCellContents, "one{Return}two");
        dialog->cmdAdd->click();
        QCOMPARE(document->txtRich->text(),
                 "xab<TABLE WIDTH=\"50\">\r\n\t<TR>\r\n\t\t<TD>one\r\ntwo</TD>\r\n\t</TR>\r\n</TABLE>\r\n");
        for (const char* left : {"xab", "x"}) {
            sendKey(document->txtRich, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(document->txtRich->text(), left);
        }
        app.main->documents().DocumentSlots[0].Modified = false;
        document->close();
        ShellFixture::flush();
        dialog->cmdAdd->click();
        QTest::keyClick(dialog->treTable, Qt::Key_Escape);
        ShellFixture::flush();
        QVERIFY(!dialog);
    }
};

QTEST_MAIN(TableTest)
#include "tst_table.moc"
