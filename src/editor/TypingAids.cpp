#include "editor/TypingAids.h"

#include "editor/UndoHistory.h"
#include "platform/KeyCodes.h"

#include <QList>
#include <QStringList>

bool ApplyTypingAid(RichTextControl& text, UndoHistory& history, const ColorRoles& roles, QChar typed,
                    const QString& replaced) {
    const int at = text.selStart();
    const ColorValue before = at > 0 ? text.colorAt(at - 1) : roles.text;
    const ColorValue after = at < text.textLength() ? text.colorAt(at) : roles.text;
    const bool inTag = before == roles.tag && after == roles.tag;
    if (typed == QLatin1Char('<')) {
        if ((before == roles.comment && after == roles.comment) ||
            (before == roles.value && after == roles.value))
            return false;
        history.aidInserted(at, QStringLiteral("<>"));
        text.setSelText(QStringLiteral("<>"));
        text.paint(at, 2, roles.tag);
        text.setSelStart(at + 1);
        text.setSelColor(roles.tag);
        return true;
    }
    if (typed == QLatin1Char('>')) {
        if (!inTag || (text.charAt(at - 1) != QLatin1Char('<') && text.charAt(at) != QLatin1Char('>')))
            return false;
        // Stepping over the bracket the "<" aid added leaves the typed run.
        history.recordPending();
        text.setSelStart(at + 1);
        return true;
    }
    if (typed == QLatin1Char('"')) {
        if (!inTag || text.charAt(at - 1) == QLatin1Char('>') || text.charAt(at) == QLatin1Char('<'))
            return false;
        const QString quoted = QLatin1Char('"') + replaced + QLatin1Char('"');
        history.aidInserted(at, quoted);
        text.setSelText(quoted);
        text.paint(at, static_cast<int>(quoted.size()), roles.value);
        text.setSelStart(at + 1 + static_cast<int>(replaced.size()));
        text.setSelColor(roles.value);
        return true;
    }
    if (typed == QLatin1Char('-')) {
        // At the very start of a document too: "<!" is all a comment needs before its dashes.
        if (at < 2 || text.textRange(at - 2, 2) != QLatin1String("<!"))
            return false;
        history.typedAt(at, QStringLiteral("----"));
        text.setSelText(QStringLiteral("----"));
        // The whole comment, with the ">" the "<" aid added when it is there.
        const int length = text.charAt(at + 4) == QLatin1Char('>') ? 7 : 6;
        text.paint(at - 2, length, roles.comment);
        text.setSelStart(at + 2);
        text.setSelColor(roles.comment);
        return true;
    }
    return false;
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
