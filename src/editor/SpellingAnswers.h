#pragma once

#include <QStringView>
#include <optional>
#include <vector>

// The answers a dictionary has given, by word. A page asks about the same few thousand words
// hundreds of thousands of times, so a lookup copies nothing and stays in little memory: each
// word's characters lie one after another in one pool, and the table holds only their place,
// length and hash. A lookup reads one slot or a few beside it, and the pool only when the hash
// and length match.
class SpellingAnswers {
public:
    std::optional<bool> find(QStringView word) const;
    // `word` is not among the answers yet.
    void insert(QStringView word, bool correct);
    size_t size() const { return m_count; }
    void clear();

private:
    struct Slot {
        quint32 hash = 0;
        quint32 at = 0; // where the word begins in the pool
        quint32 length = 0;
        bool used = false;
        bool correct = false;
    };
    static quint32 hashOf(QStringView word);
    size_t slotOf(QStringView word, quint32 hash) const;
    void grow();

    std::vector<Slot> m_slots; // a power of two of them, at most half used
    std::vector<char16_t> m_pool;
    size_t m_count = 0;
};
