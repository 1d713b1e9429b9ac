#include "editor/SpellingAnswers.h"

#include <cstring>

namespace {
constexpr size_t kFirstSlots = 1024;
} // namespace

// Words are short, and Qt's hash without a seed is SipHash beyond four characters, which costs
// more than the rest of a lookup. Here four characters at a time are mixed in by multiplication,
// and the result is stirred so that its low bits, which choose the slot, depend on all of it.
quint32 SpellingAnswers::hashOf(QStringView word) {
    constexpr quint64 kMultiplier = 0xff51afd7ed558ccdULL;
    const char16_t* at = word.utf16();
    qsizetype left = word.size();
    quint64 hash = 0x9e3779b97f4a7c15ULL ^ quint64(left);
    for (; left >= 4; at += 4, left -= 4) {
        quint64 four;
        std::memcpy(&four, at, sizeof four);
        hash = (hash ^ four) * kMultiplier;
        hash ^= hash >> 32;
    }
    if (left > 0) {
        quint64 rest = 0;
        for (qsizetype i = 0; i < left; ++i)
            rest |= quint64(at[i]) << (16 * i);
        hash = (hash ^ rest) * kMultiplier;
        hash ^= hash >> 32;
    }
    hash ^= hash >> 29;
    hash *= 0xc4ceb9fe1a85ec53ULL;
    hash ^= hash >> 32;
    return quint32(hash);
}

// The slot that holds `word`, or the free one where it would go.
size_t SpellingAnswers::slotOf(QStringView word, quint32 hash) const {
    Q_ASSERT(!m_slots.empty());
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (!slot.used)
            return i;
        // An empty word may have no characters at all to point to: it is never given to memcmp.
        if (slot.hash == hash && slot.length == size_t(word.size()) &&
            (word.isEmpty() ||
             std::memcmp(m_pool.data() + slot.at, word.utf16(), size_t(word.size()) * sizeof(char16_t)) == 0))
            return i;
    }
}

std::optional<bool> SpellingAnswers::find(QStringView word) const {
    if (m_slots.empty())
        return std::nullopt;
    const Slot& slot = m_slots[slotOf(word, hashOf(word))];
    return slot.used ? std::optional<bool>(slot.correct) : std::nullopt;
}

void SpellingAnswers::insert(QStringView word, bool correct) {
    if (2 * (m_count + 1) > m_slots.size())
        grow();
    const quint32 hash = hashOf(word);
    Slot& slot = m_slots[slotOf(word, hash)];
    Q_ASSERT(!slot.used);
    slot = {hash, quint32(m_pool.size()), quint32(word.size()), true, correct};
    m_pool.insert(m_pool.end(), word.utf16(), word.utf16() + word.size());
    ++m_count;
}

void SpellingAnswers::clear() {
    m_slots.clear();
    m_pool.clear();
    m_count = 0;
}

void SpellingAnswers::grow() {
    std::vector<Slot> old(std::max(kFirstSlots, 2 * m_slots.size()));
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.used)
            continue;
        size_t i = slot.hash & mask;
        while (m_slots[i].used)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}
