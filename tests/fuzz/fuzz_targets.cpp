// libFuzzer targets for the procedures that read user text; FUZZ_<name> picks the target. Each one
// checks what the procedure promises, not only that it survives the input.
#include "editor/Colorizer.h"
#include "markup/Abbreviation.h"
#include "markup/Attributes.h"
#include "markup/CssCode.h"
#include "markup/Journal.h"
#include "markup/LineEndings.h"
#include "markup/OwnCommands.h"
#include "markup/PageNames.h"
#include "markup/PictureTags.h"
#include "markup/SourceMap.h"
#include "markup/SpellingWords.h"
#include "markup/TableModel.h"
#include "markup/TagCase.h"
#include "markup/TagText.h"
#include "platform/Charsets.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
[[noreturn]] [[maybe_unused]] void broken(int line, const char* condition) {
    std::fprintf(stderr, "invariant broken at line %d: %s\n", line, condition);
    std::abort();
}
#define CHECK(condition) ((condition) ? void() : broken(__LINE__, #condition))

// The input as text: UTF-8, or raw UTF-16 units (lone surrogates too) after a first byte 0xFF.
QString textOf(const uint8_t* data, size_t size) {
    if (size == 0 || data[0] != 0xFF)
        return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text(qsizetype((size - 1) / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data + 1, size_t(text.size()) * 2);
    return text;
}
// The input cut at U+001F into the texts a procedure takes.
QString part(const QString& text, int index) {
    return text.split(QChar(0x1F)).value(index);
}
// Whether every CR and LF of `text` belongs to a `lineBreak`.
[[maybe_unused]] bool onlyBreaks(const QString& text, QStringView lineBreak) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (QStringView(text).sliced(i).startsWith(lineBreak))
            i += lineBreak.size() - 1;
        else if (text.at(i) == u'\r' || text.at(i) == u'\n')
            return false;
    }
    return true;
}
// Whether every start tag of `html` but the void ones is closed in order, outside quoted values,
// and no ">" stands outside a tag.
[[maybe_unused]] bool balancedMarkup(const QString& html) {
    static const QStringList voids{"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                   "input", "link", "meta", "param", "source", "track", "wbr"};
    std::vector<QString> open;
    for (qsizetype i = 0; i < html.size(); ++i) {
        if (html.at(i) == u'>')
            return false;
        if (html.at(i) != u'<')
            continue;
        const bool declaration = html.mid(i + 1, 1) == u"!", closing = html.mid(i + 1, 1) == u"/";
        qsizetype end = i + 1 + (closing ? 1 : 0);
        while (end < html.size() && !html.at(end).isSpace() && html.at(end) != u'>')
            ++end;
        const QString name = html.mid(i + 1 + (closing ? 1 : 0), end - i - 1 - (closing ? 1 : 0));
        QChar quote;
        for (; end < html.size() && (!quote.isNull() || html.at(end) != u'>'); ++end)
            if (html.at(end) == u'"')
                quote = quote.isNull() ? QChar(u'"') : QChar();
        if (name.isEmpty() || end == html.size())
            return false;
        if (closing) {
            if (open.empty() || open.back() != name)
                return false;
            open.pop_back();
        } else if (!declaration && !voids.contains(name)) {
            open.push_back(name);
        }
        i = end;
    }
    return open.empty();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = textOf(data, size);
#if defined(FUZZ_colorize)
    // Ascending spans without gaps or overlap over the stretch, in the four colours only; the
    // character after the stretch only when a tag, value or comment reaches it.
    const ColorRoles roles;
    const int base = size > 0 ? data[0] % 7 : 0, length = int(text.size()) - (size > 1 && data[1] & 1);
    const std::vector<ColorSpan> spans = ComputeColorSpans(text, base, length, roles);
    const bool angles = text.contains(u'<') && text.contains(u'>');
    CHECK(angles ? !spans.empty() || length <= 0 : spans.empty());
    int covered = base;
    std::vector<ColorValue> colors; // of each character from `base`
    for (const ColorSpan& span : spans) {
        CHECK(span.start == covered && span.length > 0);
        CHECK(span.color == roles.tag || span.color == roles.value || span.color == roles.text ||
              span.color == roles.comment);
        covered += span.length;
        CHECK(covered <= base + length || (covered == base + length + 1 && span.color != roles.text));
        colors.insert(colors.end(), size_t(span.length), span.color);
    }
    CHECK(spans.empty() || covered >= base + std::max(0, length));
    // A "<" followed by a ">" opens a tag (or lies in a comment or value) unless a blank, "%" or "?"
    // follows it: it is never plain text.
    for (qsizetype at = 0; at + 1 < qsizetype(colors.size()) && at + 1 < text.size(); ++at)
        CHECK(text.at(at) != u'<' || QStringLiteral(" %?").contains(text.at(at + 1)) ||
              text.indexOf(u'>', at) < 0 || colors[size_t(at)] != roles.text);
#elif defined(FUZZ_linebreaks)
    // Normalising is idempotent, leaves only CR LF and keeps the lines; conversions agree with it.
    const QString dos = NormalizeToCrLf(text), lf = ConvertToLf(text), cr = ConvertToCr(text);
    CHECK(NormalizeToCrLf(dos) == dos && onlyBreaks(dos, u"\r\n") && onlyBreaks(lf, u"\n") &&
          onlyBreaks(cr, u"\r"));
    CHECK(ConvertToLf(dos) == lf && ConvertToCr(dos) == cr && NormalizeToCrLf(lf) == dos);
    QString own = text; // normalised in its own memory, the same
    own.detach();
    CHECK(NormalizeToCrLf(std::move(own)) == dos);
    CHECK(ConvertForSave(text, SaveFormat::Unix) == lf && ConvertForSave(text, SaveFormat::Dos) == dos);
    CHECK(SplitLines(text) == SplitLines(dos) && SplitLines(text) == SplitLines(cr));
    CHECK(DetectLineBreaks(text).has_value() == DetectLineBreaks(dos).has_value());
    CHECK(!DetectLineBreaks(dos) || *DetectLineBreaks(dos) == SaveFormat::Dos);
#elif defined(FUZZ_textfile)
    // A file read and written back unedited keeps every byte and its encoding.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/fuzz-XXXXXX")
                                    : QDir::tempPath() + "/fuzz-XXXXXX");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = folder.filePath(QStringLiteral("page.htm"));
    QFile file(path);
    CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    LoadedText loaded;
    QString reason;
    if (readTextFile(path, loaded, reason)) {
        CHECK(!loaded.text.contains(QChar(0x2029)) && !loaded.text.contains(QChar(0xFDD0)));
        // What was read fits the encoding it was read with: saving it unedited asks nothing.
        CHECK(!FirstUnencodable(loaded.text, loaded.encoding));
        CHECK(WithCharacterReferences(loaded.text, loaded.encoding) == loaded.text);
        CHECK(writeTextFile(path, loaded.text, loaded.encoding, reason));
        CHECK(file.open(QIODevice::ReadOnly) && file.readAll() == bytes);
    } else {
        CHECK(bytes.contains('\0'));
    }
    for (const TextEncoding single :
         {TextEncoding::Latin1, TextEncoding::Windows1252, TextEncoding::Iso8859_15}) {
        QByteArray back;
        CHECK(EncodeSingleByte(DecodeSingleByte(bytes, single), single, back) && back == bytes);
    }
#elif defined(FUZZ_tagcase)
    // Case changes keep the length and what is not a tag; removal leaves no tag behind.
    const QString lower = LowerTags(text), upper = UpperTags(text), removed = RemoveTags(text);
    CHECK(lower.size() == text.size() && upper.size() == text.size() && removed.size() <= text.size());
    CHECK(LowerTags(lower) == lower && UpperTags(upper) == upper);
    CHECK(RemoveTags(lower) == removed && RemoveTags(upper) == removed);
    CHECK(RemoveTags(removed) == removed);
    // Without comments, server blocks and declarations, the tag rules read plainly: a tag ends at the
    // first ">" outside double quotes, or, with a quote open at a "<" or the end, at its first ">".
    if (size > 0 && data[0] != 0xFF && !text.contains(u'!') && !text.contains(u'%') && !text.contains(u'?')) {
        static const QRegularExpression quoted(QStringLiteral("<(?:[^\">]|\"[^\"<]*\")*>"));
        static const QRegularExpression first(QStringLiteral("<[^>]*>"));
        const auto tagAt = [&](const QRegularExpression& tag, qsizetype at) {
            return tag.match(text, at, QRegularExpression::NormalMatch,
                             QRegularExpression::AnchorAtOffsetMatchOption);
        };
        QString expected;
        qsizetype kept = 0;
        for (qsizetype open; (open = text.indexOf(u'<', kept)) >= 0;) {
            QRegularExpressionMatch tag = tagAt(quoted, open);
            if (!tag.hasMatch() && !(tag = tagAt(first, open)).hasMatch())
                break;
            expected += text.mid(kept, open - kept);
            kept = tag.capturedEnd();
        }
        CHECK(removed == expected + text.mid(kept));
    }
#elif defined(FUZZ_table)
    // Every cell belongs to one place of one row; what was read stands in the text.
    if (const std::optional<TableReading> reading = ReadTable(text)) {
        const TableModel& model = reading->model;
        CHECK(reading->length >= 0 && reading->length <= text.size());
        CHECK(int(model.Cells.size()) == model.CellCount + 1 && int(model.Rows.size()) == model.RowCount);
        std::vector<int> seen(model.Cells.size());
        // Without quotes (values are written as typed, between double quotes) and markup in the cells,
        // the code written reads back as the same table.
        bool simple = !text.contains(u'"') && !text.contains(u'\'');
        for (const TableRow& row : model.Rows) {
            CHECK(text.contains(row.Attributes));
            for (const int number : row.Cells) {
                CHECK(number > 0 && number <= model.CellCount && ++seen[size_t(number)] == 1);
                const TableCell& cell = model.Cells[size_t(number)];
                for (const QString* value : {&cell.Contents, &cell.BgColor, &cell.Colspan, &cell.Rowspan})
                    CHECK(text.contains(*value));
                simple = simple && !cell.Contents.contains(u'<');
            }
        }
        CHECK(std::count(seen.begin(), seen.end(), 1) == model.CellCount);
        const TableAttributes& t = model.Table;
        for (const QString* value : {&t.Width, &t.Height, &t.Border, &t.BackColor, &t.Background, &t.Padding})
            CHECK(text.contains(*value));
        const QString code = BuildTableCode(model, QStringLiteral("  "));
        const std::optional<TableReading> again = ReadTable(code);
        CHECK(again &&
              (!simple || (again->length == code.size() && again->model.CellCount == model.CellCount &&
                           again->model.Rows.size() == model.Rows.size())));
    } else {
        CHECK(!text.startsWith(QLatin1String("<TABLE>"), Qt::CaseInsensitive));
    }
#elif defined(FUZZ_attribute)
    // The value stands in the text; the text loses one piece holding the name and the value, and
    // gets at most a blank in its place (where the pieces either side would touch).
    const QString name = part(text, 0), original = part(text, 1);
    QString rest = original;
    const QString value = ReadAttribute(size > 0 ? data[0] % 9 : 0, size > 1 ? data[1] % 40 : 0, rest, name);
    CHECK(original.contains(value));
    if (value.isEmpty()) {
        CHECK(rest == original);
    } else {
        const qsizetype cut = original.size() - rest.size();
        qsizetype head = 0;
        while (head < rest.size() && rest.at(head) == original.at(head))
            ++head;
        qsizetype tail = 0;
        while (tail < rest.size() - head &&
               rest.at(rest.size() - 1 - tail) == original.at(original.size() - 1 - tail))
            ++tail;
        const QString between = rest.mid(head, rest.size() - head - tail);
        // The blank put in may stand where the text had one of its own, so `between` may not show it.
        CHECK(cut + 1 >= name.size() + value.size() && (between.isEmpty() || between == QLatin1String(" ")));
    }
#elif defined(FUZZ_owncommand)
    // The parts rebuild the command; the selection goes in untouched.
    const QString command = part(text, 0), selected = part(text, 1);
    const OwnCommandParts parts = SplitOwnCommand(command);
    CHECK(JoinOwnCommand(parts) == command);
    const QString result = BuildOwnCommandText(command, selected);
    const QString code = QString(parts.code).replace(QLatin1String("%%"), QLatin1String("\r\n"));
    const qsizetype at = code.indexOf(QLatin1String("@@"));
    if (at < 0)
        CHECK(result == code);
    else if (!parts.hasBeginning && !parts.hasEnd)
        CHECK(result == code.left(at) + selected + code.mid(at + 2));
    else
        CHECK(result.startsWith(code.left(at)) && result.endsWith(code.mid(at + 2)) &&
              result.size() >= code.size() - 2 + selected.size());
#elif defined(FUZZ_sortlines)
    // The same lines and breaks, in order; sorting twice changes nothing.
    for (const bool ascending : {true, false}) {
        const QString sorted = SortLines(text, ascending);
        CHECK(sorted.size() == text.size() && SortLines(sorted, ascending) == sorted);
        QStringList lines = sorted.split(QLatin1String("\r\n")), original = text.split(QLatin1String("\r\n"));
        for (qsizetype i = 1; i < lines.size() - sorted.endsWith(QLatin1String("\r\n")); ++i)
            CHECK(ascending ? lines.at(i - 1) <= lines.at(i) : lines.at(i) <= lines.at(i - 1));
        std::sort(lines.begin(), lines.end());
        std::sort(original.begin(), original.end());
        CHECK(lines == original);
    }
#elif defined(FUZZ_css)
    // Read entries are offered lines of the text; rules written out read back the same.
    const CssVocabulary words = ParseCssVocabulary(text);
    for (const QStringList* list : {&words.commands, &words.properties, &words.values, &words.units})
        for (const QString& word : *list)
            CHECK(!word.isEmpty() && word == word.trimmed() && !word.startsWith(QLatin1String("<--")) &&
                  text.contains(word));
    for (const QString& value : ParseValueList(text))
        CHECK(!value.isEmpty() && text.contains(value));
    for (const QString& item : SplitProperties(text))
        CHECK(item.endsWith(u';') && item != QLatin1String(";") && !item.front().isSpace());
    QList<CssRule> rules = ReadCssRules(text);
    rules.removeIf([](const CssRule& rule) { return rule.isEmpty(); });
    CHECK(ReadCssRules(BuildCss(rules, CssLayout::OneRow, true, QString())) == rules);
    CHECK(ReadCssRules(BuildCss(rules, CssLayout::OnePerRow, true, QStringLiteral("  "))) == rules);
    const StyleSelection style = ReadStyleSelection(text);
    CHECK(text.startsWith(style.before) && text.endsWith(style.after));
#elif defined(FUZZ_relpath)
    // A file in or below the document's folder gets a reference that leads there from the folder and
    // never climbs; any other gets its clean full path. Both percent-encoded where markup needs it.
    if (QString::fromUtf8(text.toUtf8()) != text)
        return 0; // lone surrogates: no file name holds them
    const QString file = u'/' + part(text, 0), document = u'/' + part(text, 1);
    const QString reference = MakeRelativePath(file, document);
    for (const QChar c : reference)
        CHECK(c >= u' ' && c != u'\x7F' && c != u'"' && c != u'#' && c != u'?' && c != u'\\');
    const QString plain = QUrl::fromPercentEncoding(reference.toUtf8());
    const auto rootClean = [](QString path) { // the root is its own parent
        for (path = QDir::cleanPath(path); path == "/.." || path.startsWith("/../"); path = path.mid(3))
            ;
        return path.isEmpty() ? QStringLiteral("/") : path;
    };
    const QString clean = rootClean(file), folder = rootClean(document).section(u'/', 0, -2) + u'/';
    CHECK(!plain.split(u'/').contains(QLatin1String("..")));
    if (plain.startsWith(u'/'))
        CHECK(plain == clean && !(clean.startsWith(folder) && clean.size() > folder.size()));
    else
        CHECK(folder + plain == clean);
#elif defined(FUZZ_viewsource)
    // The name always lands inside the folder.
    for (const QUrl& url :
         {QUrl(text), QUrl::fromEncoded(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))}) {
        const QString name = SourceFileName(url);
        CHECK(!name.isEmpty() && !name.contains(u'/') && !name.contains(QChar(0)));
        CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
    }
#elif defined(FUZZ_journal)
    // A journal is read whole or not at all: what is read names a known format and encoding, and
    // written again it reads back the same; a byte changed in the written journal is refused.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    JournalEntry entry;
    if (DecodeJournal(bytes, entry)) {
        const QByteArray again = EncodeJournal(entry);
        JournalEntry reread;
        CHECK(DecodeJournal(again, reread));
        CHECK(reread.owner == entry.owner && reread.path == entry.path && reread.format == entry.format &&
              reread.encoding == entry.encoding && reread.text == entry.text);
        CHECK(EncodeJournal(reread) == again);
        QByteArray altered = again;
        altered[qsizetype(size % size_t(altered.size()))] ^= 0x20;
        CHECK(!DecodeJournal(altered, reread));
    }
#elif defined(FUZZ_sourcemap)
    // The copy is the page with one attribute right after the name of each start tag listed, in
    // increasing order, each naming its tag's "<"; read again, it lists the same tags (moved by the
    // attributes before them): the attributes change nothing of how the page reads.
    const QString copy = WithSourceOffsets(text);
    const std::vector<int> offsets = StartTagOffsets(text);
    QString expected;
    std::vector<int> moved;
    qsizetype copied = 0;
    int previous = -1;
    for (const int at : offsets) {
        CHECK(at > previous && at + 1 < text.size() && text.at(at) == u'<');
        previous = at;
        const char16_t first = text.at(at + 1).unicode() | 0x20;
        CHECK(first >= u'a' && first <= u'z');
        qsizetype end = at + 1;
        while (end < text.size() && !QStringView(u" \t\r\n\f/>").contains(text.at(end)))
            ++end;
        CHECK(end < text.size()); // a tag the text ends in gets none
        moved.push_back(int(at + expected.size() - copied));
        expected += text.mid(copied, end - copied) +
                    QStringLiteral(" %1=\"%2\"").arg(QLatin1String(kSourceOffsetAttribute)).arg(at);
        copied = end;
    }
    CHECK(copy == expected + text.mid(copied));
    CHECK(StartTagOffsets(copy) == moved);
    // The page edited (its second half put before its first): each start tag carried from one
    // version to the other names the same character, and carried back names the one it came from.
    const QString edited = text.sliced(text.size() / 2) + text.first(text.size() / 2);
    const ChangedStretch change = ChangedStretchOf(text, edited);
    CHECK(change.commonStart + change.commonEnd <= std::min(text.size(), edited.size()));
    for (const int at : offsets) {
        const int after = OffsetAfterChange(change, at);
        CHECK(after < 0 || (edited.at(after) == text.at(at) && OffsetBeforeChange(change, after) == at));
    }
    // Text typed a third of the way in: where one element's contents are replaced, the start tags
    // they held then and hold now, with the others moved, are those of the later text.
    const QString typed = text.first(text.size() / 3) + QStringLiteral("Xy") + text.sliced(text.size() / 3);
    if (const std::optional<ContentsPatch> patch =
            ContentsPatchOf(text, typed, ChangedStretchOf(text, typed))) {
        const std::vector<int> later = StartTagOffsets(typed);
        std::vector<int> carried = patch->tagsAfter;
        for (const int at : offsets)
            if (!std::binary_search(patch->tagsBefore.begin(), patch->tagsBefore.end(), at))
                carried.push_back(at >= patch->movedFrom ? at + patch->movedBy : at);
        std::sort(carried.begin(), carried.end());
        CHECK(carried == later);
        CHECK(std::binary_search(offsets.begin(), offsets.end(), patch->elementAt));
        CHECK(std::binary_search(later.begin(), later.end(), patch->elementAt));
    }
#elif defined(FUZZ_abbreviation)
    // Expansions stay under the limit, put the cursor inside them, and make balanced markup; an
    // abbreviation refused says where. The input's second part adds lines to a style table.
    const QString abbreviation = part(text, 0);
    const StyleAbbreviations styles = StyleAbbreviations::parse(
        QStringLiteral("m = margin: $px;\np = padding: $;\ndib = display: inline-block;\nc = color: $;\n") +
        part(text, 1));
    for (const AbbreviationMode mode :
         {AbbreviationMode::Markup, AbbreviationMode::StyleSheet, AbbreviationMode::StyleAttribute}) {
        AbbreviationContext context;
        context.mode = mode;
        context.lineIndent = QStringLiteral("  ");
        context.parent = part(text, 2);
        context.styles = &styles;
        const Expansion expansion = ExpandAbbreviation(abbreviation, context);
        if (!expansion.ok()) {
            CHECK(expansion.text.isEmpty() && expansion.error.endsWith(u'.'));
            CHECK(expansion.errorPosition >= 0 && expansion.errorPosition <= abbreviation.size() + 1);
            continue;
        }
        CHECK(expansion.text.size() <= kMaxExpansionLength);
        CHECK(expansion.cursor >= 0 && expansion.cursor <= expansion.text.size());
        if (mode == AbbreviationMode::Markup)
            CHECK(balancedMarkup(expansion.text));
        else
            CHECK(!expansion.text.contains(u'<') || abbreviation.contains(u'<') ||
                  part(text, 1).contains(u'<'));
    }
    for (const AbbreviationMode mode : {AbbreviationMode::Markup, AbbreviationMode::StyleSheet}) {
        const int start = AbbreviationStart(abbreviation, int(abbreviation.size()), mode);
        CHECK(start >= 0 && start <= abbreviation.size());
    }
    const int from = int(abbreviation.size() / 2);
    const int next = EditPoint(abbreviation, from, true), previous = EditPoint(abbreviation, from, false);
    CHECK(next == -1 || (next > from && next <= abbreviation.size()));
    CHECK(previous >= -1 && previous < from);
#elif defined(FUZZ_spelling)
    // Each kind of text: the words lie in the text, ascending and apart, each letters (with
    // apostrophes between them) with a lower-case one; read a stretch at a time from where reading
    // stopped, every stretch gets on and no word reaches past where its stretch stopped.
    const SpellingSource source = SpellingSource(size > 0 ? data[0] % 6 : 0);
    const SpellingOptions options{size > 1 && (data[1] & 1)};
    qsizetype previous = 0;
    const SpellingRun whole = SpellingWords(text, source, options);
    for (const SpellingWord& word : whole.words) {
        CHECK(word.language >= -1 && word.language < int(whole.languages.size()));
        CHECK(word.start >= previous && word.length >= 2 && word.start + word.length <= text.size());
        previous = word.start + word.length;
        const QStringView spelt = QStringView(text).mid(word.start, word.length);
        CHECK(std::any_of(spelt.begin(), spelt.end(), [](QChar c) { return c.isLower(); }));
        CHECK(std::all_of(spelt.begin(), spelt.end(), [](QChar c) {
            return c.isLetter() || c.isMark() || c == u'\'' || c == QChar(0x2019);
        }));
    }
    SpellingState state;
    for (int start = 0; start < text.size();) {
        const int length = std::min(int(text.size()) - start, 40);
        const SpellingRun run = ReadSpellingWords(QStringView(text).mid(start, length), source, options,
                                                  state, 8, start + length >= text.size());
        CHECK(run.end > 0 && run.end <= length);
        for (const SpellingWord& word : run.words)
            CHECK(word.start >= 0 && word.start + word.length <= run.end);
        start += run.end;
        state = run.state;
    }
#endif
    return 0;
}
