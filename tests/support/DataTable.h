#pragma once

#include <QStringList>
#include <QTest>

#include <initializer_list>

// Adds the string columns named in `columns`, then one row for each of `rows`, given as
// "name; column; column...".
inline void table(std::initializer_list<const char*> columns, std::initializer_list<const char*> rows) {
    for (const char* column : columns)
        QTest::addColumn<QString>(column);
    for (const char* row : rows) {
        const QStringList cells = QString(row).split("; ");
        QTestData& data = QTest::newRow(qPrintable(cells[0]));
        for (const QString& cell : cells.mid(1))
            data << cell;
    }
}
