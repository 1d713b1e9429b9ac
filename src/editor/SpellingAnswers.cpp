#include "editor/SpellingAnswers.h"

#include <QHashFunctions>
#include <cstring>

namespace {
constexpr size_t kFirstSlots = 1024;
} // namespace

quint32 SpellingAnswers::hashOf(QStringView word) {
    return quint32(qHash(word, 0));
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
