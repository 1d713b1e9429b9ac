#pragma once

#include <QChar>
#include <QStringView>

// The characters of tag and attribute names and the blanks between them, as the markup scanners
// read them.
namespace MarkupNames {

inline bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}
inline bool isNameStart(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
inline bool isNameChar(QChar c) {
    if (c.unicode() >= 0x80)
        return c.isLetterOrNumber();
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u':' || c == u'_' || c == u'.';
}
// Names compare without regard to case; ASCII ones, nearly all, without Unicode's case folding.
inline bool sameName(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < u'a' || (x | 0x20) > u'z'))
            return false;
    }
    return true;
}

// Elements that have no contents and no end tag, the old ones browsers still read so included.
inline bool isVoidElement(QStringView name) {
    static const QStringView kVoid[] = {u"area",   u"base",   u"basefont", u"bgsound", u"br",
                                        u"col",    u"embed",  u"frame",    u"hr",      u"img",
                                        u"input",  u"keygen", u"link",     u"meta",    u"param",
                                        u"source", u"track",  u"wbr",      u"isindex"};
    if (name.size() > 8)
        return false;
    for (const QStringView one : kVoid)
        if (sameName(name, one))
            return true;
    return false;
}

} // namespace MarkupNames
