#pragma once

#include <QtGlobal>
#include <cstddef>
#include <utility>
#include <vector>

// Items in ascending order of their `start` (an int member), which an edit of the text moves for
// every item after it. The move is not written into each of those items at once: the list keeps
// one move pending for its tail, from an index on, and carries it over to the items between when
// the next edit comes elsewhere. Typing thus costs as much as the distance between two edits, not
// the length of the list. Starts are read through start(); the other members through fields().
template <typename T> class ShiftedList {
public:
    size_t size() const { return m_items.size(); }
    void clear() {
        m_items.clear();
        m_from = 0;
        m_shift = 0;
    }

    int start(size_t i) const {
        Q_ASSERT(i < m_items.size());
        return m_items[i].start + (i >= m_from ? m_shift : 0);
    }
    void setStart(size_t i, int start) {
        Q_ASSERT(i < m_items.size());
        m_items[i].start = start - (i >= m_from ? m_shift : 0);
    }
    // The item's members other than its start, which reads as stored there (not as it is).
    T& fields(size_t i) { return m_items[i]; }
    const T& fields(size_t i) const { return m_items[i]; }
    // The item as it is, its start included.
    T item(size_t i) const {
        T copy = m_items[i];
        copy.start = start(i);
        return copy;
    }

    // Every item from `i` on moves by `delta`.
    void moveFrom(size_t i, int delta) {
        pendFrom(i);
        m_shift += delta;
    }
    // Takes out the items [from, to).
    void erase(size_t from, size_t to) {
        Q_ASSERT(from <= to && to <= m_items.size());
        if (from == to)
            return;
        pendFrom(to);
        m_items.erase(m_items.begin() + qsizetype(from), m_items.begin() + qsizetype(to));
        m_from = from; // the tail that followed is where the items were
    }
    // Puts `items` (their starts as they are) before the item at `i`.
    template <typename Iterator> void insert(size_t i, Iterator first, Iterator last) {
        pendFrom(i);
        const auto at = m_items.insert(m_items.begin() + qsizetype(i), first, last);
        for (auto item = at; item != at + (last - first); ++item)
            item->start -= m_shift; // they join the tail whose move is pending
    }
    // Puts `item` (its start as it is) before the item at `i`.
    void insert(size_t i, T item) {
        pendFrom(i);
        item.start -= m_shift;
        m_items.insert(m_items.begin() + qsizetype(i), std::move(item));
    }

    // The first index in [from, to) whose item fails `before(start, item)`, the items from `from`
    // on taken to pass it first and then fail it (a partition point, found by halving).
    template <typename Before> size_t partitionPoint(size_t from, size_t to, Before before) const {
        while (from < to) {
            const size_t mid = from + (to - from) / 2;
            if (before(start(mid), m_items[mid]))
                from = mid + 1;
            else
                to = mid;
        }
        return from;
    }

    // The items with their starts as they are, every pending move written into them.
    std::vector<T>& flat() {
        pendFrom(m_items.size());
        m_shift = 0;
        m_from = 0;
        return m_items;
    }

private:
    // Has the pending move start at index i, writing it into the items it leaves or taking it out
    // of those it reaches.
    void pendFrom(size_t i) {
        Q_ASSERT(i <= m_items.size());
        if (m_shift == 0) {
            m_from = i;
            return;
        }
        for (size_t k = m_from; k < i; ++k)
            m_items[k].start += m_shift;
        for (size_t k = i; k < m_from && k < m_items.size(); ++k)
            m_items[k].start -= m_shift;
        m_from = i;
    }

    std::vector<T> m_items;
    size_t m_from = 0; // items from here on move by m_shift more than their stored start says
    int m_shift = 0;
};
