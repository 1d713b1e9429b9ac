#include "markup/TableModel.h"

#include "markup/Attributes.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Row and cell operations

int TableModel::rowIndex(int number) const {
    for (size_t i = 0; i < Rows.size(); ++i)
        if (Rows[i].Number == number)
            return int(i);
    return -1;
}

CellPlace TableModel::findCell(int number) const {
    for (size_t r = 0; r < Rows.size(); ++r) {
        const std::vector<int>& cells = Rows[r].Cells;
        const auto at = std::find(cells.begin(), cells.end(), number);
        if (at != cells.end())
            return {int(r), int(at - cells.begin())};
    }
    return {};
}

TableCell* TableModel::currentRecord() {
    return CurrentCell > 0 && CurrentCell < int(Cells.size()) ? &Cells[CurrentCell] : nullptr;
}

int TableModel::addRow(int copyOf) {
    TableRow row;
    row.Number = ++RowCount;
    const int source = copyOf > 0 ? rowIndex(copyOf) : -1;
    if (source >= 0) {
        row.Attributes = Rows[source].Attributes;
        for (const int number : Rows[source].Cells) {
            const TableCell copy = Cells[number];
            Cells.push_back(copy);
            row.Cells.push_back(++CellCount);
        }
    }
    Rows.push_back(std::move(row));
    return RowCount;
}

bool TableModel::deleteRow(int number) {
    const int index = rowIndex(number);
    if (index < 0)
        return false;
    Rows.erase(Rows.begin() + index);
    return true;
}

bool TableModel::moveRow(int number, int step) {
    const int index = rowIndex(number);
    const int other = index + step;
    if (index < 0 || other < 0 || other >= int(Rows.size()))
        return false;
    std::swap(Rows[index], Rows[other]);
    return true;
}

int TableModel::addCell(int rowNumber, const TableCell* settings) {
    const int index = rowIndex(rowNumber);
    if (index < 0)
        return 0;
    Cells.push_back(settings ? *settings : TableCell());
    Rows[index].Cells.push_back(++CellCount);
    CurrentCell = CellCount;
    return CellCount;
}

bool TableModel::deleteCell(int number) {
    const CellPlace place = findCell(number);
    if (!place.found())
        return false;
    std::vector<int>& cells = Rows[place.row].Cells;
    cells.erase(cells.begin() + place.position);
    Cells[number] = TableCell();
    return true;
}

bool TableModel::moveCell(int number, int step) {
    const CellPlace place = findCell(number);
    if (!place.found())
        return false;
    std::vector<int>& cells = Rows[place.row].Cells;
    const int target = place.position + step;
    if (target >= 0 && target < int(cells.size())) {
        std::swap(cells[place.position], cells[target]);
        return true;
    }
    // From the edge of its row the cell goes over to the end of the neighbouring row.
    const int neighbour = place.row + step;
    if (neighbour < 0 || neighbour >= int(Rows.size()))
        return false;
    cells.erase(cells.begin() + place.position);
    Rows[neighbour].Cells.push_back(number);
    return true;
}

TableModel NewTable() {
    TableModel model;
    model.addCell(model.addRow());
    return model;
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

enum class TagName { Other, Table, Row, DataCell, HeaderCell, Section };

struct Tag {
    int start = 0;   // the "<"
    int nameEnd = 0; // where the attribute text begins
    int close = 0;   // the closing ">", or the text's length when there is none
    int end = 0;     // one past the tag
    bool closing = false;
    TagName name = TagName::Other;
};

TagName tagName(QStringView name) {
    const auto is = [name](const char* candidate) {
        return name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
    };
    if (is("TABLE"))
        return TagName::Table;
    if (is("TR"))
        return TagName::Row;
    if (is("TD"))
        return TagName::DataCell;
    if (is("TH"))
        return TagName::HeaderCell;
    if (is("THEAD") || is("TBODY") || is("TFOOT"))
        return TagName::Section;
    return TagName::Other;
}

bool endsTagName(QChar c) {
    return c.isSpace() || c == u'>' || c == u'/';
}

// Walks the tags of a text once, front to back. Comments are passed over whole, and a ">" inside
// a quoted attribute value does not end a tag. Every search starts where the walk stands and the
// walk goes on behind what it found, so a whole walk is linear. (A quote searched in vain is the
// last of its kind: no later tag searches for it again.)
class TagScanner {
public:
    explicit TagScanner(const QString& text) : m_text(text), m_size(int(text.size())) {}

    std::optional<Tag> next() {
        while (m_pos < m_size) {
            const int open = int(m_text.indexOf(u'<', m_pos));
            if (open < 0)
                break;
            if (QStringView(m_text).mid(open).startsWith(u"<!--")) {
                const int commentEnd = int(m_text.indexOf(QLatin1String("-->"), open + 4));
                m_pos = commentEnd < 0 ? m_size : commentEnd + 3;
                continue;
            }
            Tag tag;
            tag.start = open;
            int at = open + 1;
            tag.closing = at < m_size && m_text.at(at) == u'/';
            const int nameStart = tag.closing ? at + 1 : at;
            if (nameStart >= m_size || !isAsciiLetter(m_text.at(nameStart))) {
                m_pos = open + 1; // a "<" in text
                continue;
            }
            at = nameStart;
            while (at < m_size && !endsTagName(m_text.at(at)))
                ++at;
            tag.name = tagName(QStringView(m_text).mid(nameStart, at - nameStart));
            tag.nameEnd = at;
            tag.close = closingBracket(at);
            tag.end = std::min(tag.close + 1, m_size);
            m_pos = tag.end;
            return tag;
        }
        m_pos = m_size;
        return std::nullopt;
    }

private:
    static bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

    // The ">" that ends a tag whose attributes begin at `from`. A value opened by a quote right
    // after "=" runs to its closing quote; without one, the tag ends at the next ">".
    int closingBracket(int from) {
        for (int at = from; at < m_size; ++at) {
            const QChar c = m_text.at(at);
            if (c == u'>')
                return at;
            if (c != u'=')
                continue;
            int value = at + 1;
            while (value < m_size && m_text.at(value).isSpace())
                ++value;
            if (value < m_size && (m_text.at(value) == u'"' || m_text.at(value) == u'\'')) {
                const int closingQuote = int(m_text.indexOf(m_text.at(value), value + 1));
                if (closingQuote < 0) {
                    const int bracket = int(m_text.indexOf(u'>', value + 1));
                    return bracket < 0 ? m_size : bracket;
                }
                value = closingQuote + 1;
            }
            at = value - 1;
        }
        return m_size;
    }

    const QString& m_text;
    const int m_size;
    int m_pos = 0;
};

// Reads rows and cells of the outer table in one walk over its tags.
class TableReader {
public:
    explicit TableReader(const QString& text) : m_text(text), m_tags(text) {}

    std::optional<TableReading> read() {
        const std::optional<Tag> start = m_tags.next();
        if (!start || start->start != 0 || start->name != TagName::Table || start->closing)
            return std::nullopt;
        readTableAttributes(*start);

        int depth = 1; // the outer table is depth 1; only its own rows and cells are read
        while (const std::optional<Tag> tag = m_tags.next()) {
            if (tag->name == TagName::Table) {
                depth += tag->closing ? -1 : 1;
                if (depth == 0) {
                    endCell(tag->start);
                    // The code written back ends in a line break: the one behind the end tag goes
                    // with the table rather than being doubled.
                    const bool lineBreak = QStringView(m_text).mid(tag->end).startsWith(u"\r\n");
                    return finish(tag->end + (lineBreak ? 2 : 0));
                }
            } else if (depth == 1) {
                readTag(*tag);
            }
        }
        endCell(int(m_text.size())); // no end tag: the table runs to the text's end
        return finish(int(m_text.size()));
    }

private:
    QString attributeText(const Tag& tag) const { return m_text.mid(tag.nameEnd, tag.close - tag.nameEnd); }

    void readTableAttributes(const Tag& tag) {
        QString text = attributeText(tag);
        TableAttributes& table = m_model.Table;
        table.Width = ReadAttribute(0, 0, text, QStringLiteral("WIDTH="));
        table.Height = ReadAttribute(0, 0, text, QStringLiteral("HEIGHT="));
        table.Border = ReadAttribute(0, 0, text, QStringLiteral("BORDER="));
        table.BackColor = ReadAttribute(0, 0, text, QStringLiteral("BGCOLOR="));
        table.Background = ReadAttribute(0, 0, text, QStringLiteral("BACKGROUND="));
        // Only a quoted border colour is taken; an unquoted one stays in the other text.
        table.BorderColor = ReadAttribute(0, 0, text, QStringLiteral("BORDERCOLOR=\""));
        table.Padding = ReadAttribute(0, 0, text, QStringLiteral("CELLPADDING="));
        table.Spacing = ReadAttribute(0, 0, text, QStringLiteral("CELLSPACING="));
        table.Class = ReadAttribute(0, 0, text, QStringLiteral("CLASS="));
        table.Other = text.trimmed();
    }

    void readTag(const Tag& tag) {
        switch (tag.name) {
        case TagName::Row:
            endCell(tag.start);
            m_rowOpen = false;
            if (!tag.closing)
                startRow(attributeText(tag).trimmed());
            break;
        case TagName::DataCell:
        case TagName::HeaderCell:
            endCell(tag.start);
            if (!tag.closing)
                startCell(tag);
            break;
        case TagName::Section: // a head, body or foot boundary ends the open row too
            endCell(tag.start);
            m_rowOpen = false;
            break;
        default:
            break;
        }
    }

    void startRow(const QString& attributes) {
        m_model.addRow();
        m_model.Rows.back().Attributes = attributes;
        m_rowOpen = true;
    }

    void startCell(const Tag& tag) {
        if (!m_rowOpen) // a cell outside any row gets a row of its own rather than being lost
            startRow(QString());
        QString text = attributeText(tag);
        TableCell cell;
        cell.Header = tag.name == TagName::HeaderCell;
        cell.BgColor = ReadAttribute(0, 0, text, QStringLiteral("BGCOLOR="));
        cell.Colspan = ReadAttribute(0, 0, text, QStringLiteral("COLSPAN="));
        cell.Rowspan = ReadAttribute(0, 0, text, QStringLiteral("ROWSPAN="));
        cell.Other = text.trimmed();
        // Appended directly: looking the row up by number for every cell would cost a walk
        // over the rows per cell.
        m_model.Cells.push_back(std::move(cell));
        m_openCell = ++m_model.CellCount;
        m_model.Rows.back().Cells.push_back(m_openCell);
        m_contentsStart = tag.end;
    }

    // Ends the open cell (if any) at `at`: its contents run from its start tag up to there.
    void endCell(int at) {
        if (m_openCell == 0)
            return;
        m_model.Cells[m_openCell].Contents = m_text.mid(m_contentsStart, at - m_contentsStart);
        m_openCell = 0;
    }

    TableReading finish(int length) {
        m_model.CurrentCell = m_model.CellCount > 0 ? 1 : 0;
        return {std::move(m_model), length};
    }

    const QString& m_text;
    TagScanner m_tags;
    TableModel m_model;
    bool m_rowOpen = false;
    int m_openCell = 0;
    int m_contentsStart = 0;
};

} // namespace

std::optional<TableReading> ReadTable(const QString& text) {
    return TableReader(text).read();
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

void appendOther(QString& code, const QString& other) {
    const QString trimmed = other.trimmed();
    if (!trimmed.isEmpty())
        code += u' ' + trimmed;
}

void appendCell(QString& code, const TableCell& cell, const QString& indent) {
    code += indent;
    code += indent;
    code += cell.Header ? QLatin1String("<TH") : QLatin1String("<TD");
    code += QuotedAttribute("BGCOLOR", cell.BgColor);
    code += QuotedAttribute("COLSPAN", cell.Colspan);
    code += QuotedAttribute("ROWSPAN", cell.Rowspan);
    appendOther(code, cell.Other);
    code += u'>';
    code += cell.Contents;
    code += cell.Header ? QLatin1String("</TH>\r\n") : QLatin1String("</TD>\r\n");
}

} // namespace

QString BuildTableCode(const TableModel& model, const QString& indent) {
    qsizetype estimate = 64;
    for (const TableCell& cell : model.Cells)
        estimate += cell.Contents.size() + cell.Other.size() + 2 * indent.size() + 40;
    QString code;
    code.reserve(estimate);

    const TableAttributes& table = model.Table;
    code += QLatin1String("<TABLE");
    code += QuotedAttribute("CLASS", table.Class);
    code += QuotedAttribute("BORDER", table.Border);
    code += QuotedAttribute("HEIGHT", table.Height);
    code += QuotedAttribute("WIDTH", table.Width);
    code += QuotedAttribute("CELLPADDING", table.Padding);
    code += QuotedAttribute("CELLSPACING", table.Spacing);
    code += QuotedAttribute("BORDERCOLOR", table.BorderColor);
    code += QuotedAttribute("BGCOLOR", table.BackColor);
    code += QuotedAttribute("BACKGROUND", table.Background);
    appendOther(code, table.Other);
    code += QLatin1String(">\r\n");

    for (const TableRow& row : model.Rows) {
        code += indent;
        code += QLatin1String("<TR");
        appendOther(code, row.Attributes);
        code += QLatin1String(">\r\n");
        for (const int number : row.Cells)
            appendCell(code, model.Cells[number], indent);
        code += indent;
        code += QLatin1String("</TR>\r\n");
    }
    code += QLatin1String("</TABLE>\r\n");
    return code;
}
