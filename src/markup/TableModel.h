#pragma once

#include <QString>
#include <optional>
#include <vector>

// One cell of the table builder: written as "<TH" when Header is set, else "<TD".
struct TableCell {
    bool Header = false;
    QString Colspan;
    QString Rowspan;
    QString BgColor;
    QString Contents; // the code between the start and end tag, line breaks included
    QString Other;    // further attribute text
};

// The table's own attributes, as the table page's boxes hold them.
struct TableAttributes {
    QString Width, Height, Border, BorderColor, BackColor, Background, Padding, Spacing, Class, Other;
};

// A row: its number (shown as "Row" + Number), its attribute text as read (written back as it
// stands) and its cells' numbers in table order; a cell's tag is its position here, from 1.
struct TableRow {
    int Number = 0;
    QString Attributes;
    std::vector<int> Cells;
};

// Where a cell stands: the index of its row in Rows and its index in that row's Cells.
struct CellPlace {
    int row = -1;
    int position = -1;
    bool found() const { return row >= 0; }
};

// The table being designed. Row and cell numbers are given out once and never reused, so a
// number names the same row or record through deletions and moves.
struct TableModel {
    std::vector<TableCell> Cells{1}; // indexed by cell number; element 0 is never used
    std::vector<TableRow> Rows;      // in table order
    int RowCount = 0;                // the highest row number given out
    int CellCount = 0;               // the highest cell number given out
    int CurrentCell = 0;             // the record the cell page edits
    TableAttributes Table;

    // Index in Rows of the row numbered `number`, or -1.
    int rowIndex(int number) const;
    CellPlace findCell(int number) const;
    // The record of CurrentCell, or null when there is none.
    TableCell* currentRecord();

    // Appends a new row and returns its number. With `copyOf` naming a row, the new row gets
    // copies of that row's attributes and cells (as new records).
    int addRow(int copyOf = 0);
    // Removes a row with its cells; their records stay, no longer referenced.
    bool deleteRow(int number);
    // Trades places with the row above (step -1) or below (+1); each row keeps its cells.
    bool moveRow(int number, int step);
    // Appends a new cell to the row `rowNumber`, filled from `settings` when given, and makes
    // it the current cell. Returns its number, or 0 when there is no such row.
    int addCell(int rowNumber, const TableCell* settings = nullptr);
    // Removes a cell from its row (the later cells move up one place) and empties its record.
    bool deleteCell(int number);
    // Trades places with the neighbouring cell of its row. Up from a row's first place it becomes
    // the last cell of the row above; down from the last place, the last cell of the row below.
    bool moveCell(int number, int step);
};

// A fresh table: Row1 holding Cell1, which is current; the table's attributes are left empty.
TableModel NewTable();

struct TableReading {
    TableModel model;
    int length = 0; // how much of the text the table took: up to its end tag and a CR LF behind it
};

// Reads the table that `text` begins with, or nothing when it does not begin with a "<TABLE"
// start tag. Tags are matched in any letter case; rows and cells of inner tables are left in
// their cells' contents; missing end tags end at the next row or cell or the table's end.
std::optional<TableReading> ReadTable(const QString& text);

// The table's code: upper-case names, values in double quotes as typed, CR LF line breaks,
// rows indented once and cells twice by `indent`.
QString BuildTableCode(const TableModel& model, const QString& indent);
