#include "markup/SpellingWords.h"

#include "markup/MarkerSearch.h"
#include "markup/MarkupContext.h"
#include "markup/MarkupNames.h"

#include <QFileInfo>
#include <algorithm>
#include <array>

// The reader goes once through the text, forward only, and keeps no more than SpellingState
// between two places where it may stop, so a document of megabytes can be read a stretch at a time
// and a stretch read again after an edit without reading what comes before it. A tag is read whole
// before any word of it is taken: a <meta> may name itself a description after its content.

namespace {

using namespace MarkupNames;
using Place = SpellingState::Place;

constexpr qsizetype kLongestWord = 100; // longer ones are no words (Hunspell reads none either)
constexpr int kMostLanguages = 32;

bool isLetterBeyondAscii(QChar c) {
    return c.isLetter() || c.isMark();
}
// ASCII, nearly all of a page, is told without the Unicode tables.
inline bool isLetter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x80 ? char16_t((u | 0x20) - u'a') < 26 : isLetterBeyondAscii(c);
}
// Scripts written without blanks between words, which no dictionary here divides into words.
bool unspaced(QChar c) {
    if (c.unicode() < 0x0E00) // Latin, Greek, Cyrillic, Hebrew, Arabic, Indic...: all spaced
        return false;
    const QChar::Script script = c.script();
    return script == QChar::Script_Han || script == QChar::Script_Hiragana ||
           script == QChar::Script_Katakana || script == QChar::Script_Thai || script == QChar::Script_Lao ||
           script == QChar::Script_Khmer;
}
bool isApostrophe(QChar c) {
    return c == u'\'' || c == QChar(0x2019);
}
// "." and "_" tie the words on both sides into a name: "index.html", "read_file".
bool joinsNames(QChar c) {
    return c == u'.' || c == u'_';
}

// The place after the character reference at `at` ("&amp;", "&#233;", "&#xE9;"), or -1.
qsizetype referenceEnd(QStringView text, qsizetype at) {
    const qsizetype limit = std::min(text.size(), at + 40);
    qsizetype k = at + 1;
    if (k < limit && text[k] == u'#')
        k += k + 1 < limit && (text[k + 1] == u'x' || text[k + 1] == u'X') ? 2 : 1;
    const qsizetype name = k;
    while (k < limit && text[k].unicode() < 0x80 && text[k].isLetterOrNumber())
        ++k;
    return k > name && k < limit && text[k] == u';' ? k + 1 : -1;
}

// A piece of text between blanks that is a web or e-mail address or a path holds no prose. It
// begins as one does ("www.", "mailto:", "/", "./", "../", "~/"), after any brackets and quotes,
// or holds "://", "@" or "\\" (`marksAddress`) anywhere.
bool beginsAsAddressOrPath(QStringView piece) {
    qsizetype lead = 0; // brackets and quotes around it do not make it prose
    const auto opening = [](QChar c) {
        return c == u'(' || c == u'<' || c == u'[' || c == u'"' || c == u'\'';
    };
    while (lead < piece.size() && opening(piece[lead]))
        ++lead;
    const QStringView core = piece.sliced(lead);
    // Looked for only where the first character may begin one.
    switch (core.isEmpty() ? u' ' : core.front().unicode()) {
    case u'w':
    case u'W':
        return core.startsWith(u"www.", Qt::CaseInsensitive);
    case u'm':
    case u'M':
        return core.startsWith(u"mailto:", Qt::CaseInsensitive);
    case u'/':
        return true;
    case u'.':
        return core.startsWith(u"./") || core.startsWith(u"../");
    case u'~':
        return core.startsWith(u"~/");
    default:
        return false;
    }
}
inline bool marksAddress(QStringView piece, qsizetype k) {
    const char16_t c = piece[k].unicode();
    return c == u'@' || c == u'\\' || (c == u':' && piece.sliced(k + 1).startsWith(u"//"));
}

// The words of one piece of prose [from, to) of `text`, which holds no blank. The piece is read
// once: the words found before a mark of an address are taken back.
void pieceWords(QStringView text, qsizetype from, qsizetype to, int language,
                std::vector<SpellingWord>& out) {
    const QStringView piece = text.sliced(from, to - from);
    if (beginsAsAddressOrPath(piece))
        return;
    const size_t taken = out.size();
    const qsizetype size = piece.size();
    qsizetype afterReference = -1;
    for (qsizetype k = 0; k < size;) {
        const QChar c = piece[k];
        if (c == u'&') {
            if (const qsizetype end = referenceEnd(piece, k); end > 0) {
                k = afterReference = end;
                continue;
            }
        }
        // Every character outside words and references comes here: the marks of an address too.
        if (!isLetter(c) && !c.isDigit()) {
            if (marksAddress(piece, k)) {
                out.resize(taken);
                return;
            }
            ++k;
            continue;
        }
        const qsizetype start = k;
        bool unchecked = false, lower = false; // digits, or a script no dictionary divides
        while (k < size) {
            const QChar d = piece[k];
            // ASCII letters and digits, nearly all a page's words are made of, are told at once.
            if (const char16_t u = d.unicode(); u < 0x80) {
                if (char16_t((u | 0x20) - u'a') < 26) {
                    lower = lower || u >= u'a';
                    ++k;
                    continue;
                }
                if (char16_t(u - u'0') < 10) {
                    unchecked = true;
                    ++k;
                    continue;
                }
            }
            if (isLetter(d)) {
                lower = lower || d.isLower();
                unchecked = unchecked || unspaced(d);
            } else if (d.isDigit()) {
                unchecked = true;
            } else if (!isApostrophe(d) || k + 1 >= size || !isLetter(piece[k + 1]) ||
                       !isLetter(piece[k - 1])) {
                break;
            }
            ++k;
        }
        const bool tiedBefore =
            start == afterReference ||
            (start >= 2 && joinsNames(piece[start - 1]) && piece[start - 2].isLetterOrNumber()) ||
            (start >= 1 && piece[start - 1] == u'_');
        const bool tiedAfter = (k + 1 < size && joinsNames(piece[k]) && piece[k + 1].isLetterOrNumber()) ||
                               (k < size && piece[k] == u'_') ||
                               (k < size && piece[k] == u'&' && referenceEnd(piece, k) > 0);
        const qsizetype length = k - start;
        if (!unchecked && lower && length >= 2 && length <= kLongestWord && !tiedBefore && !tiedAfter)
            out.push_back({int(from + start), int(length), language});
    }
}

// Every tag asks these: the loop is kept inline, and a name of another length costs one compare.
template <size_t N> bool oneOf(QStringView name, const QStringView (&names)[N]) {
    for (const QStringView one : names)
        if (sameName(name, one))
            return true;
    return false;
}

// What an attribute's name says to the reader, asked once for each attribute.
enum class AttributeRole : quint8 { Other, Language, Name, Prose, Content };
// Prose: alt, title, placeholder, label, summary. Language: lang, xml:lang. Told by length first.
AttributeRole attributeRole(QStringView name) {
    using Role = AttributeRole;
    switch (name.size()) {
    case 3:
        return sameName(name, u"alt") ? Role::Prose : Role::Other;
    case 4:
        return sameName(name, u"lang") ? Role::Language : sameName(name, u"name") ? Role::Name : Role::Other;
    case 5:
        return sameName(name, u"title") || sameName(name, u"label") ? Role::Prose : Role::Other;
    case 7:
        return sameName(name, u"summary")   ? Role::Prose
               : sameName(name, u"content") ? Role::Content
                                            : Role::Other;
    case 8:
        return sameName(name, u"xml:lang") ? Role::Language : Role::Other;
    case 11:
        return sameName(name, u"placeholder") ? Role::Prose : Role::Other;
    default:
        return Role::Other;
    }
}
// Elements whose contents hold no tags: with no words, and with words.
bool isRawElement(QStringView name) {
    static const QStringView kRaw[] = {u"script", u"style", u"xmp", u"iframe", u"noembed", u"noframes"};
    return oneOf(name, kRaw);
}
bool isTextElement(QStringView name) {
    static const QStringView kText[] = {u"title", u"textarea", u"plaintext"};
    return oneOf(name, kText);
}
// Elements that a start tag of their own name closes (the end tag may be left out).
bool closedBySibling(QStringView name) {
    static const QStringView kClosed[] = {u"p", u"li", u"dt", u"dd", u"option", u"tr", u"td", u"th"};
    return oneOf(name, kClosed);
}

struct TagAttribute {
    QStringView name;
    qsizetype valueStart = -1, valueEnd = -1; // no value: -1
    bool serverCode = false;                  // the value holds server code: only the server knows it
    AttributeRole role = AttributeRole::Other;
};

class SpellingReader {
public:
    SpellingReader(QStringView text, SpellingSource source, const SpellingOptions& options,
                   const SpellingState& from, int stop, bool whole)
        : m_text(text), m_source(source), m_codeText(options.codeText), m_stop(stop), m_whole(whole) {
        m_run.state = from;
        m_attributes.reserve(8);
        m_run.end = int(text.size());
        // Some one word in six characters of prose: the list grows once or twice, not ten times.
        m_run.words.reserve(
            std::min<size_t>(size_t(std::min<qsizetype>(stop, text.size())) / 6 + 8, 1 << 16));
    }

    SpellingRun read() {
        SpellingState& state = m_run.state;
        if (!HasSpellingWords(m_source, {m_codeText}))
            return std::move(m_run); // nothing here is prose: read to the end
        if (m_source != SpellingSource::Markup && m_source != SpellingSource::PlainText &&
            state.place == Place::Text)
            state.place = Place::Code;
        for (qsizetype k = 0; k < m_text.size() && !m_stopped;)
            k = step(k);
        return std::move(m_run);
    }

private:
    const QString& language() const {
        static const QString none;
        return m_run.state.languages.isEmpty() ? none : m_run.state.languages.last().language;
    }
    // The place of `language` in the run's list, which it joins when new; -1 for "".
    int languageIndex(const QString& language) {
        if (language.isEmpty())
            return -1;
        std::vector<QString>& languages = m_run.languages;
        const auto known = std::find(languages.begin(), languages.end(), language);
        if (known != languages.end())
            return int(known - languages.begin());
        languages.push_back(language);
        return int(languages.size()) - 1;
    }
    // That of the current language, found again only after the elements naming one change.
    int currentLanguage() {
        if (!m_languageKnown) {
            m_language = languageIndex(language());
            m_languageKnown = true;
        }
        return m_language;
    }
    bool mayStop(qsizetype k) const { return k >= m_stop && k > 0 && isSpace(m_text[k - 1]); }
    qsizetype stopAt(qsizetype k) {
        m_stopped = true;
        m_run.end = int(k);
        return k;
    }
    // Where `what` begins from `from` on, or the text's end.
    qsizetype find(QStringView what, qsizetype from) const {
        const qsizetype found = IndexOfMarker(m_text, what, from);
        return found < 0 ? m_text.size() : found;
    }

    // One stretch in the current place; returns where the next begins.
    qsizetype step(qsizetype k) {
        SpellingState& state = m_run.state;
        switch (state.place) {
        case Place::Text: {
            const qsizetype markup = m_source == SpellingSource::PlainText ? m_text.size() : nextMarkup(k);
            k = readProse(k, markup);
            return m_stopped || markup >= m_text.size() ? k : readMarkup(markup);
        }
        case Place::Comment:
            return closeAt(k, find(u"-->", k), 3, m_codeText);
        case Place::Server:
            return closeAt(k, find(state.quote == u'%' ? u"%>" : u"?>", k), 2, false);
        case Place::Cdata:
            return closeAt(k, find(u"]]>", k), 3, false);
        case Place::Raw:
        case Place::RawText:
            return closeAt(k, endTagOf(state.element, k), 0, state.place == Place::RawText);
        case Place::Code:
            return readCode(k);
        case Place::LineComment: {
            qsizetype end = k;
            while (end < m_text.size() && m_text[end] != u'\r' && m_text[end] != u'\n')
                ++end;
            return closeAt(k, end, 0, true);
        }
        case Place::BlockComment:
            return closeAt(k, find(u"*/", k), 2, true);
        case Place::String:
            return closeAt(k, stringEnd(k), 1, true);
        }
        return m_text.size();
    }

    // The stretch [k, close) of the current place, prose or not, then what closes it (`closer`
    // characters) and the place around it. A stop inside the stretch stays in the place.
    qsizetype closeAt(qsizetype k, qsizetype close, qsizetype closer, bool prose) {
        k = prose ? readProse(k, close) : passOver(k, close);
        if (m_stopped || close >= m_text.size())
            return m_stopped ? k : m_text.size();
        SpellingState& state = m_run.state;
        const bool markup = m_source == SpellingSource::Markup || m_source == SpellingSource::PlainText;
        state.place = markup ? Place::Text : Place::Code;
        state.quote = QChar();
        state.element.clear(); // an element's end tag is read as a tag
        return close + closer;
    }

    // Words of prose in [k, limit), stopping at the first place it may.
    qsizetype readProse(qsizetype k, qsizetype limit) {
        while (k < limit) {
            if (mayStop(k))
                return stopAt(k);
            if (isSpace(m_text[k])) {
                ++k;
                continue;
            }
            qsizetype end = k + 1;
            while (end < limit && !isSpace(m_text[end]))
                ++end;
            if (end >= m_text.size() && !m_whole && k > 0)
                return stopAt(k); // the piece may go on past the text: read whole next time
            pieceWords(m_text, k, end, currentLanguage(), m_run.words);
            k = end;
        }
        return mayStop(limit) && limit < m_text.size() ? stopAt(limit) : limit;
    }

    // [k, limit) holds no words: stops at the first place it may, or passes over it all.
    qsizetype passOver(qsizetype k, qsizetype limit) {
        for (qsizetype at = std::max(k, qsizetype(m_stop)); at <= limit && at < m_text.size(); ++at)
            if (mayStop(at))
                return stopAt(at);
        return limit < m_text.size() ? limit : endOfText(k);
    }

    // The text ends, but the document may not: reading stops at the last place after a blank from
    // `from` on, so that what may go on past the text ("</scr", "/" of "/*") is read whole next
    // time. Without such a place, or at the document's end, it reads to the end.
    qsizetype endOfText(qsizetype from) {
        for (qsizetype at = m_text.size(); !m_whole && at > from && at > 0; --at)
            if (isSpace(m_text[at - 1]))
                return stopAt(at);
        return m_text.size();
    }

    // Markup: "<" with a letter, "/", "!", "?" or "%" after it.
    bool markupAt(qsizetype k) const {
        if (k + 1 >= m_text.size() || m_text[k] != u'<')
            return false;
        const QChar next = m_text[k + 1];
        return isNameStart(next) || next == u'!' || next == u'?' || next == u'%' ||
               (next == u'/' && k + 2 < m_text.size() && isNameStart(m_text[k + 2]));
    }
    qsizetype nextMarkup(qsizetype k) const {
        for (k = IndexOfCharacter(m_text, u'<', k); k >= 0; k = IndexOfCharacter(m_text, u'<', k + 1))
            if (markupAt(k))
                return k;
        return m_text.size();
    }
    qsizetype nameEnd(qsizetype k) const {
        while (k < m_text.size() && !isSpace(m_text[k]) && m_text[k] != u'/' && m_text[k] != u'>')
            ++k;
        return k;
    }
    // Where the end tag of `element` starts after `from`; the text's end when none does.
    qsizetype endTagOf(const QString& element, qsizetype from) const {
        for (qsizetype k = find(u"</", from); k < m_text.size(); k = find(u"</", k + 2)) {
            const qsizetype end = k + 2 + element.size();
            if (end <= m_text.size() && sameName(m_text.sliced(k + 2, element.size()), element) &&
                (end == m_text.size() || isSpace(m_text[end]) || m_text[end] == u'>' || m_text[end] == u'/'))
                return k;
        }
        return m_text.size();
    }

    // The markup at `at`: its place entered, or the tag read and its words taken.
    qsizetype readMarkup(qsizetype at) {
        SpellingState& state = m_run.state;
        const QStringView rest = m_text.sliced(at);
        const QChar next = rest[1];
        if (next == u'!') {
            if (rest.startsWith(u"<!--")) {
                state.place = Place::Comment;
                return at + 4;
            }
            if (rest.startsWith(u"<![CDATA[")) {
                state.place = Place::Cdata;
                return at + 9;
            }
            const qsizetype close = m_text.indexOf(u'>', at); // a declaration
            return close < 0 ? cutTag(at) : close + 1;
        }
        if (next == u'?' || next == u'%') {
            state.place = Place::Server;
            state.quote = next;
            return at + 2;
        }
        const bool endTag = next == u'/';
        const qsizetype name = at + (endTag ? 2 : 1), afterName = nameEnd(name);
        m_attributes.clear();
        const qsizetype end = readAttributes(afterName);
        if (end < 0)
            return cutTag(at);
        const QStringView element = lowerName(m_text.sliced(name, afterName - name));
        if (endTag)
            closeElement(element);
        else
            openElement(element, m_text[end - 2] == u'/');
        return end;
    }

    // The element's name in lower case, valid until the next tag. An ASCII name, nearly all, is
    // lowered into a buffer kept from tag to tag: a string for each tag was two allocations per
    // tag, a good part of reading a page.
    QStringView lowerName(QStringView name) {
        const bool ascii = std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (!ascii || name.size() > qsizetype(m_lowered.size())) {
            m_element = name.toString().toLower();
            return m_element;
        }
        char16_t* out = m_lowered.data();
        for (const QChar c : name)
            *out++ = c >= u'A' && c <= u'Z' ? char16_t(c.unicode() + (u'a' - u'A')) : c.unicode();
        return QStringView(m_lowered.data(), name.size());
    }

    // A tag the text ends in: in a document's last stretch, nothing follows it; otherwise reading
    // stops before it, and goes on there when the next stretch holds all of it.
    qsizetype cutTag(qsizetype at) { return m_whole || at == 0 ? m_text.size() : stopAt(at); }

    // Reads the attributes from `k` to the tag's ">"; the place after it, or -1 when the text
    // ends first. Server code between attributes is passed over.
    qsizetype readAttributes(qsizetype k) {
        const qsizetype size = m_text.size();
        const auto serverAt = [this, size](qsizetype at) {
            // Asked of every character of names and values: the rare '<' is tested first.
            return m_text[at] == u'<' && at + 1 < size && (m_text[at + 1] == u'?' || m_text[at + 1] == u'%');
        };
        const auto pastServer = [this](qsizetype at) {
            const qsizetype close = find(m_text[at + 1] == u'?' ? u"?>" : u"%>", at + 2);
            return close >= m_text.size() ? m_text.size() : close + 2;
        };
        while (k < size) {
            if (m_text[k] == u'>')
                return k + 1;
            if (isSpace(m_text[k]) || m_text[k] == u'/') {
                ++k;
                continue;
            }
            if (serverAt(k)) {
                k = pastServer(k);
                continue;
            }
            TagAttribute attribute;
            const qsizetype nameStart = k++;
            while (k < size && !isSpace(m_text[k]) && m_text[k] != u'/' && m_text[k] != u'>' &&
                   m_text[k] != u'=' && !serverAt(k))
                ++k;
            attribute.name = m_text.sliced(nameStart, k - nameStart);
            qsizetype equals = k;
            while (equals < size && isSpace(m_text[equals]))
                ++equals;
            if (equals < size && m_text[equals] == u'=') {
                for (k = equals + 1; k < size && isSpace(m_text[k]);)
                    ++k;
                const QChar quote = k < size ? m_text[k] : QChar();
                const bool quoted = quote == u'"' || quote == u'\'';
                attribute.valueStart = quoted ? ++k : k;
                if (quoted) {
                    // A quoted value runs to its quote, past any server code in it: the two are
                    // found with the character search.
                    for (;;) {
                        const qsizetype close = IndexOfCharacter(m_text, quote.unicode(), k);
                        const qsizetype end = close < 0 ? size : close;
                        const qsizetype server = IndexOfCharacter(m_text.first(end), u'<', k);
                        if (server < 0) {
                            k = end;
                            break;
                        }
                        if (serverAt(server)) {
                            attribute.serverCode = true;
                            k = pastServer(server);
                        } else {
                            k = server + 1;
                        }
                    }
                } else {
                    while (k < size && !isSpace(m_text[k]) && m_text[k] != u'>') {
                        if (serverAt(k)) {
                            attribute.serverCode = true;
                            k = pastServer(k) - 1;
                        }
                        ++k;
                    }
                }
                if (k >= size)
                    return -1;
                attribute.valueEnd = k;
                k += quoted ? 1 : 0;
            }
            m_attributes.push_back(attribute);
        }
        return -1;
    }

    QStringView valueOf(const TagAttribute& attribute) const {
        return attribute.valueStart < 0
                   ? QStringView()
                   : m_text.sliced(attribute.valueStart, attribute.valueEnd - attribute.valueStart);
    }

    void openElement(QStringView element, bool selfClosed) {
        SpellingState& state = m_run.state;
        QList<LanguageFrame>& frames = state.languages;
        std::optional<QString> named;
        bool description = false;
        for (TagAttribute& attribute : m_attributes) {
            attribute.role = attributeRole(attribute.name);
            if (attribute.valueStart >= 0 && attribute.role == AttributeRole::Language && !named)
                named = valueOf(attribute).trimmed().toString();
            description = description || (attribute.role == AttributeRole::Name &&
                                          sameName(valueOf(attribute).trimmed(), u"description"));
        }
        // A start tag of an element whose end tag may be left out closes an open one of its name.
        // The list is shared with the state a piece began in: it is only read (no copy made of it)
        // until it changes.
        if (!frames.isEmpty() && frames.constLast().element == element && frames.constLast().depth == 1 &&
            closedBySibling(element)) {
            frames.removeLast();
            m_languageKnown = false;
        }
        const int words = named ? languageIndex(*named) : currentLanguage();
        const bool meta = element == u"meta";
        for (const TagAttribute& attribute : m_attributes) {
            const bool prose = attribute.role == AttributeRole::Prose ||
                               (meta && description && attribute.role == AttributeRole::Content);
            if (!prose || attribute.valueStart < 0 || attribute.serverCode)
                continue;
            const QStringView value = valueOf(attribute);
            for (qsizetype k = 0; k < value.size();) {
                while (k < value.size() && isSpace(value[k]))
                    ++k;
                qsizetype end = k;
                while (end < value.size() && !isSpace(value[end]))
                    ++end;
                if (end > k)
                    pieceWords(m_text, attribute.valueStart + k, attribute.valueStart + end, words,
                               m_run.words);
                k = end;
            }
        }
        // An element that stays open counts: one naming a language, or one inside another of its
        // name that does. Whether it stays open is asked only then.
        if (named && frames.size() < kMostLanguages) {
            if (!selfClosed && !isVoidElement(element)) {
                frames.append({element.toString(), *named, 1});
                m_languageKnown = false;
            }
        } else {
            for (qsizetype i = frames.size() - 1; i >= 0; --i)
                if (frames.at(i).element == element) {
                    if (!selfClosed && !isVoidElement(element))
                        ++frames[i].depth;
                    break;
                }
        }
        const bool raw = isRawElement(element);
        if (raw || isTextElement(element)) {
            state.place = raw ? Place::Raw : Place::RawText;
            state.element = element.toString();
        }
    }

    void closeElement(QStringView element) {
        QList<LanguageFrame>& frames = m_run.state.languages;
        for (qsizetype i = frames.size() - 1; i >= 0; --i) {
            if (frames.at(i).element != element)
                continue;
            if (--frames[i].depth == 0) { // it closes, and what was left open inside it
                frames.resize(i);
                m_languageKnown = false;
            }
            return;
        }
    }

    // A style sheet or program outside its comments and strings.
    qsizetype readCode(qsizetype k) {
        SpellingState& state = m_run.state;
        const bool perl = m_source == SpellingSource::Perl, css = m_source == SpellingSource::StyleSheet;
        for (const qsizetype from = k; k < m_text.size(); ++k) {
            if (k + 1 == m_text.size() && !m_whole) // a comment's or a string's start may be cut
                return endOfText(from);
            if (mayStop(k))
                return stopAt(k);
            const QChar c = m_text[k];
            const QChar next = k + 1 < m_text.size() ? m_text[k + 1] : QChar();
            if (!perl && c == u'/' && (next == u'*' || (next == u'/' && !css))) {
                state.place = next == u'*' ? Place::BlockComment : Place::LineComment;
                return k + 2;
            }
            if (perl && c == u'#' && (k == 0 || m_text[k - 1] != u'$')) {
                state.place = Place::LineComment;
                return k + 1;
            }
            if (c == u'"' || c == u'\'' || (c == u'`' && m_source == SpellingSource::Script)) {
                state.place = Place::String;
                state.quote = c;
                return k + 1;
            }
        }
        return k;
    }

    // The closing quote of the string from `k`, escapes passed over. Strings of style sheets,
    // scripts and Java end at the line's end unclosed; Perl's and template strings go on.
    qsizetype stringEnd(qsizetype k) const {
        const QChar quote = m_run.state.quote;
        const bool lines = m_source == SpellingSource::Perl || quote == u'`';
        for (; k < m_text.size(); ++k) {
            const QChar c = m_text[k];
            if (c == u'\\')
                ++k;
            else if (c == quote || (!lines && (c == u'\r' || c == u'\n')))
                return k;
        }
        return m_text.size();
    }

    const QStringView m_text;
    const SpellingSource m_source;
    const bool m_codeText;
    const qsizetype m_stop;
    const bool m_whole;
    bool m_stopped = false;
    SpellingRun m_run;
    std::vector<TagAttribute> m_attributes; // cleared for each tag, its room kept
    std::array<char16_t, 32> m_lowered;     // the last tag's name, lower case, when ASCII and short
    QString m_element;                      // otherwise
    int m_language = -1;                    // currentLanguage(), while m_languageKnown
    bool m_languageKnown = false;
};

} // namespace

SpellingSource SpellingSourceOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (path.isEmpty() || HoldsMarkup(extension))
        return SpellingSource::Markup;
    if (extension == QLatin1String("css"))
        return SpellingSource::StyleSheet;
    if (extension == QLatin1String("txt"))
        return SpellingSource::PlainText;
    if (extension == QLatin1String("java"))
        return SpellingSource::Java;
    if (extension == QLatin1String("pl") || extension == QLatin1String("pm") ||
        extension == QLatin1String("cgi"))
        return SpellingSource::Perl;
    return SpellingSource::Script;
}

bool HasSpellingWords(SpellingSource source, const SpellingOptions& options) {
    return source == SpellingSource::Markup || source == SpellingSource::PlainText || options.codeText;
}

SpellingRun ReadSpellingWords(QStringView text, SpellingSource source, const SpellingOptions& options,
                              const SpellingState& from, int stop, bool whole) {
    return SpellingReader(text, source, options, from, stop, whole).read();
}

SpellingRun SpellingWords(QStringView text, SpellingSource source, const SpellingOptions& options) {
    return ReadSpellingWords(text, source, options, {}, int(text.size()), true);
}

const QString& SpellingRun::languageOf(const SpellingWord& word) const {
    static const QString none;
    Q_ASSERT(word.language >= -1 && word.language < int(languages.size()));
    return word.language < 0 ? none : languages[size_t(word.language)];
}
