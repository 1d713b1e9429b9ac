#include "editor/TypingAids.h"

#include "editor/UndoHistory.h"
#include "markup/MarkupContext.h"
#include "platform/KeyCodes.h"
#include "platform/RichTextControl.h"

#include <QList>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <vector>

namespace {

// Text an aid added that the person has not passed yet.
enum class Added {
    Closer,     // a ">" or a closing quote after the cursor: typed there, it is stepped over
    CommentEnd, // the "-->" of a comment the aid made: "--" and ">" typed before it take its place
    EndTag,     // the name and ">" of a completed end tag: a name typed after it and ">" replace it
    AheadDash,  // the second dash of "<!--", added before the person typed it: the next "-" is it
};

bool isNameText(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_' || c == u'.';
    });
}

// What the aids added to one text control, kept in the control's document as cursors that move
// with every edit. Each is forgotten as soon as its text changes or the cursor leaves the place
// where it applies, whatever moved the cursor.
class AidMemory : public QObject {
    Q_OBJECT
public:
    struct Entry {
        Added kind;
        QString text;
        QTextCursor from, to; // around the added text
        QTextCursor region;   // a closer's: the start of the stretch the cursor may move in
    };

    explicit AidMemory(RichTextControl& control) : QObject(&control), m_control(control) {
        connect(&control, &QPlainTextEdit::cursorPositionChanged, this, &AidMemory::check);
        connect(control.document(), &QTextDocument::contentsChange, this, [this](int from, int, int) {
            if (from < m_rawPosition)
                m_rawOffset = m_rawPosition = -1;
        });
    }

    static AidMemory& of(RichTextControl& control) {
        auto* memory = control.findChild<AidMemory*>(QString(), Qt::FindDirectChildrenOnly);
        return memory ? *memory : *new AidMemory(control);
    }

    // While an aid changes the text the cursor passes places that would make it forget.
    class Busy {
    public:
        explicit Busy(AidMemory& memory) : m_memory(memory) { ++m_memory.m_busy; }
        ~Busy() {
            --m_memory.m_busy;
            m_memory.check();
        }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        AidMemory& m_memory;
    };

    // `text`, standing at `offset`; a closer's cursor may move back to `regionStart`.
    void remember(Added kind, int offset, const QString& text, int regionStart = 0) {
        Entry entry{kind, text, cursorAt(offset), cursorAt(offset + int(text.size())), cursorAt(regionStart)};
        // A closer moves on with text typed right before it; nothing moves the others' places.
        const bool closer = kind == Added::Closer || kind == Added::CommentEnd;
        entry.from.setKeepPositionOnInsert(!closer);
        entry.to.setKeepPositionOnInsert(true);
        entry.region.setKeepPositionOnInsert(true);
        m_entries.push_back(std::move(entry));
    }

    // The entry of `kind` with `text` (any when empty) standing at `offset` (anywhere when -1)
    // that applies at the cursor now.
    const Entry* find(Added kind, const QString& text = QString(), int offset = -1) const {
        for (const Entry& entry : m_entries)
            if (entry.kind == kind && (text.isEmpty() || entry.text == text) &&
                (offset < 0 || offsetOf(entry.from) == offset) && holds(entry))
                return &entry;
        return nullptr;
    }

    int offsetOf(const QTextCursor& place) const { return m_control.toOffset(place.position()); }

    void forget(const Entry* entry) {
        if (entry)
            m_entries.erase(m_entries.begin() + (entry - m_entries.data()));
    }

    // The context of the text before `offset`. Whether a script or style is open where the text
    // read begins is kept until the text before that place changes.
    MarkupContext contextBefore(int offset, bool openElement) {
        const ContextReader read = [this](int start, int length) {
            return m_control.textRange(start, length);
        };
        return MarkupContextAt(read, offset, openElement, [this, &read](int start) {
            if (start != m_rawOffset) {
                m_raw = RawElementAt(read, start);
                m_rawOffset = start;
                m_rawPosition = m_control.toDocumentPosition(start);
            }
            return m_raw;
        });
    }

    void check() {
        if (m_busy > 0)
            return;
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [this](const Entry& entry) { return !holds(entry); }),
                        m_entries.end());
    }

private:
    QTextCursor cursorAt(int offset) const {
        QTextCursor cursor(m_control.document());
        cursor.setPosition(m_control.toDocumentPosition(offset));
        return cursor;
    }

    QString between(int from, int to) const {
        if (to < from || to - from > 64)
            return QStringLiteral("\n"); // never an added text nor a name
        QTextCursor cursor(m_control.document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        return cursor.selectedText();
    }

    bool holds(const Entry& entry) const {
        if (between(entry.from.position(), entry.to.position()) != entry.text)
            return false;
        const QTextCursor cursor = m_control.textCursor();
        const int low = cursor.selectionStart();
        const int high = cursor.selectionEnd();
        switch (entry.kind) {
        case Added::Closer:
        case Added::CommentEnd:
            return entry.region.position() <= low && high <= entry.from.position();
        case Added::EndTag:
            return low == high && low >= entry.to.position() && isNameText(between(entry.to.position(), low));
        case Added::AheadDash:
            return low == high && low == entry.to.position();
        }
        return false;
    }

    RichTextControl& m_control;
    std::vector<Entry> m_entries;
    int m_busy = 0;
    QString m_raw; // the script or style open at m_rawOffset (document position m_rawPosition)
    int m_rawOffset = -1;
    int m_rawPosition = -1;
};

// One keystroke's aid.
struct Aid {
    RichTextControl& text;
    UndoHistory& history;
    const ColorRoles& roles;
    const TypingAidOptions& options;
    AidMemory& memory;
    const int at; // the cursor

    // Where the text before `offset` leaves off.
    MarkupContext contextBefore(int offset, bool openElement = false) const {
        return memory.contextBefore(offset, openElement);
    }

    bool tagMayStartBefore(int offset) const {
        return options.markup && contextBefore(offset).place == MarkupPlace::Text;
    }

    void moveTo(int offset) {
        text.setSelStart(offset);
        text.setSelColor(TypingColor(text, roles, offset));
    }

    // A closer the aids added, typed where it stands, is stepped over.
    bool stepOver(QChar typed) {
        const AidMemory::Entry* closer = memory.find(Added::Closer, typed, at);
        if (!closer)
            return false;
        memory.forget(closer);
        // Stepping over leaves the typed run.
        history.recordPending();
        moveTo(at + 1);
        return true;
    }

    // A "<" followed by what starts no tag (a blank, a digit, "=") is text: the ">" its aid added goes.
    void withdrawBracket(QChar typed) {
        if ((typed >= u'a' && typed <= u'z') || (typed >= u'A' && typed <= u'Z') ||
            QStringView(u"/!?%>").contains(typed) || at < 1 || text.charAt(at - 1) != QLatin1Char('<'))
            return;
        const AidMemory::Entry* bracket = memory.find(Added::Closer, QStringLiteral(">"), at);
        if (!bracket)
            return;
        memory.forget(bracket);
        history.AddUndo(QStringLiteral(">"), QString(), at, at, 0);
        text.select(at, 1);
        text.setSelText(QString());
        text.paint(at - 1, 1, roles.text);
        text.setSelColor(roles.text);
    }

    bool openTag() {
        const ColorValue before = at > 0 ? text.colorAt(at - 1) : roles.text;
        const ColorValue after = at < text.textLength() ? text.colorAt(at) : roles.text;
        // A comment longer than the text read is known by its colour.
        if ((before == roles.comment && after == roles.comment) || !tagMayStartBefore(at))
            return false;
        history.aidInserted(at, QStringLiteral("<>"));
        text.setSelText(QStringLiteral("<>"));
        text.paint(at, 2, roles.tag);
        text.setSelStart(at + 1);
        text.setSelColor(roles.tag);
        memory.remember(Added::Closer, at + 1, QStringLiteral(">"), at + 1);
        return true;
    }

    bool closeBracket() {
        if (stepOver(u'>'))
            return true;
        if (const AidMemory::Entry* end = memory.find(Added::CommentEnd, QString(), at);
            end && text.textRange(at - 2, 2) == QLatin1String("--")) {
            // The person typed the comment's end: it takes the place of the one the aid added.
            memory.forget(end);
            history.AddUndo(QStringLiteral("-->"), QStringLiteral(">"), at, at, 0);
            text.select(at, 3);
            text.setSelText(QStringLiteral(">"));
            text.paint(at - 2, 3, roles.comment);
            moveTo(at + 1);
            return true;
        }
        const AidMemory::Entry* completed = memory.find(Added::EndTag);
        if (!completed)
            return false;
        // An end tag typed by hand after a completion: its name and this ">" replace the completion.
        const int nameAt = memory.offsetOf(completed->from);
        const int typedAt = memory.offsetOf(completed->to);
        const QString name = text.textRange(typedAt, at - typedAt);
        if (name.isEmpty())
            return false;
        const QString old = completed->text + name;
        memory.forget(completed);
        history.AddUndo(old, name + QLatin1Char('>'), nameAt, at, 0);
        text.select(nameAt, int(old.size()));
        text.setSelText(name + QLatin1Char('>'));
        text.paint(nameAt - 2, int(name.size()) + 3, roles.tag);
        moveTo(nameAt + int(name.size()) + 1);
        return true;
    }

    bool quote(const QString& replaced) {
        if (stepOver(u'"'))
            return true;
        if (!options.markup)
            return false;
        const MarkupContext context = contextBefore(at);
        if (context.place != MarkupPlace::Tag || !context.startTag)
            return false;
        const QString quoted = QLatin1Char('"') + replaced + QLatin1Char('"');
        history.aidInserted(at, quoted);
        text.setSelText(quoted);
        text.paint(at, static_cast<int>(quoted.size()), roles.value);
        const int closer = at + 1 + static_cast<int>(replaced.size());
        text.setSelStart(closer);
        text.setSelColor(roles.value);
        memory.remember(Added::Closer, closer, QStringLiteral("\""), at + 1);
        return true;
    }

    bool endTag() {
        if (!options.markup || !options.closeTags || at < 1 || text.charAt(at - 1) != QLatin1Char('<'))
            return false;
        const MarkupContext context = contextBefore(at - 1, true);
        if (context.place != MarkupPlace::Text || context.openElement.isEmpty())
            return false;
        // The ">" the "<" aid added ends the end tag.
        const AidMemory::Entry* bracket = memory.find(Added::Closer, QStringLiteral(">"), at);
        const QString name = context.openElement;
        const QString inserted = QLatin1Char('/') + name + (bracket ? QString() : QStringLiteral(">"));
        memory.forget(bracket);
        history.aidInserted(at, inserted);
        text.setSelText(inserted);
        const int end = at + int(name.size()) + 2;
        text.paint(at - 1, end - at + 1, roles.tag);
        moveTo(end);
        memory.remember(Added::EndTag, at + 1, name + QLatin1Char('>'));
        return true;
    }

    bool dash() {
        if (const AidMemory::Entry* ahead = memory.find(Added::AheadDash)) {
            memory.forget(ahead);
            return true;
        }
        if (at < 2 || text.textRange(at - 2, 2) != QLatin1String("<!") || !tagMayStartBefore(at - 2))
            return false;
        const AidMemory::Entry* bracket = memory.find(Added::Closer, QStringLiteral(">"), at);
        history.typedAt(at, QStringLiteral("----"));
        text.setSelText(QStringLiteral("----"));
        // The whole comment, with the ">" the "<" aid added when it is there.
        const int length = text.charAt(at + 4) == QLatin1Char('>') ? 7 : 6;
        text.paint(at - 2, length, roles.comment);
        text.setSelStart(at + 2);
        text.setSelColor(roles.comment);
        if (bracket) {
            memory.forget(bracket);
            memory.remember(Added::CommentEnd, at + 2, QStringLiteral("-->"), at + 2);
        }
        memory.remember(Added::AheadDash, at + 1, QStringLiteral("-"));
        return true;
    }
};

} // namespace

bool ApplyTypingAid(RichTextControl& text, UndoHistory& history, const ColorRoles& roles, QChar typed,
                    const QString& replaced, const TypingAidOptions& options) {
    AidMemory& memory = AidMemory::of(text);
    const AidMemory::Busy busy(memory);
    Aid aid{text, history, roles, options, memory, text.selStart()};
    aid.withdrawBracket(typed);
    switch (typed.unicode()) {
    case u'<':
        return aid.openTag();
    case u'>':
        return aid.closeBracket();
    case u'"':
        return aid.quote(replaced);
    case u'/':
        return aid.endTag();
    case u'-':
        return aid.dash();
    default:
        return false;
    }
}

std::optional<QString> KeyEntity(int keyCode, int shift) {
    static const QStringList entities{QStringLiteral("&ouml;"), QStringLiteral("&aring;"),
                                      QStringLiteral("&auml;"), QStringLiteral("&lt;")};
    static const QStringList shiftedEntities{QStringLiteral("&Ouml;"), QStringLiteral("&Aring;"),
                                             QStringLiteral("&Auml;"), QStringLiteral("&gt;")};
    const int key =
        QList<int>{KeyCode::Grave, KeyCode::BracketRight, KeyCode::Apostrophe, KeyCode::LessGreater}.indexOf(
            keyCode);
    if (key < 0)
        return std::nullopt;
    if (shift == ModifierBit::Alt)
        return entities.at(key);
    if (shift == (ModifierBit::Alt | ModifierBit::Shift))
        return shiftedEntities.at(key);
    return std::nullopt;
}

#include "TypingAids.moc"
