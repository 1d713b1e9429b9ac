#pragma once

#include <QStringList>
#include <QTest>

#include <initializer_list>

// Adds the string columns named in `columns`, then one row for each of `rows`, given as
// "name; column; column...": its name followed by `suffix`, its cells after the values in `lead`
// (for columns the caller added before).
template <typename... Lead>
void table(std::initializer_list<const char*> columns, std::initializer_list<const char*> rows,
           const char* suffix = "", const Lead&... lead) {
    for (const char* column : columns)
        QTest::addColumn<QString>(column);
    for (const char* row : rows) {
        const QStringList cells = QString(row).split("; ");
        QTestData& data = QTest::newRow(qPrintable(cells[0] + suffix));
        ((data << lead), ...);
        for (const QString& cell : cells.mid(1))
            data << cell;
    }
}

// The current row's cell in a string column.
inline QString cell(const char* column) {
    return *static_cast<QString*>(QTest::qData(column, QMetaType::QString));
}
