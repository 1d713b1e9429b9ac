#pragma once

#include <QChar>
#include <QString>
#include <QTextBlock>

class LongLinePieces;
class QTextDocument;

// The editor's text model read off the document: every line break is CR LF and counts two
// characters, offsets are 0-based.
//
// Invariant: QTextDocument keeps one separator per block, and the separators that end a piece
// of a long line are no characters of the text at all; so the offset of a block's first
// character is its document position + its block number - 2 x the piece breaks before it. Every
// conversion is answered from block numbers and positions in logarithmic time, never by reading
// the text.
class TextOffsets {
public:
    TextOffsets(const QTextDocument& document, const LongLinePieces& pieces)
        : m_document(document), m_pieces(pieces) {}

    struct Place {
        int block = 0;
        int column = 0; // column == line length: the CR; line length + 1: the LF
    };

    int length() const;
    Place placeOf(int offset) const;
    // The offset of the block's first character.
    int blockStart(int blockNumber) const;
    int toPosition(int offset) const;
    int toOffset(int position) const;

    int lineOf(int offset) const;
    int lineStart(int line) const;
    int lineCount() const;
    int lineLength(int offset) const;

    QString text() const;
    // text() read in one piece: several times quicker, but the document's raw text is a second whole
    // copy beside the result while it is made.
    QString textAtOnce() const;
    // Characters [start, start + length) of text(), clipped to the text.
    QString range(int start, int length) const;
    QChar charAt(int offset) const;
    // The document's characters from `position`, their separators turned into CR LF or dropped.
    QString withLineBreaks(QStringView raw, int position) const;
    void appendWithLineBreaks(QString& out, QStringView raw, int position) const;

    // Finds the document positions of offsets that mostly rise, walking the blocks forward
    // instead of searching for each one.
    class Walker {
    public:
        explicit Walker(const TextOffsets& offsets);
        // The position of the character at `offset`; at a CR LF, the separator.
        int start(int offset);
        // The position just after the character before `offset`: a stretch that ends within a
        // CR LF takes the whole separator.
        int end(int offset);
        QTextBlock block() const { return m_block; }

    private:
        int moveTo(int offset);

        const TextOffsets& m_offsets;
        const int m_total;
        QTextBlock m_block;
        int m_blockOffset = 0;
    };

private:
    const QTextDocument& m_document;
    const LongLinePieces& m_pieces;
};
