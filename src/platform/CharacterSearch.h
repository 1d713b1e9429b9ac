#pragma once

#include <QStringView>
#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>

// Two bits, those of its two bytes, for each of the eight characters from `eight` on that is one
// of the `wanted` set in all eight places.
inline unsigned MatchesOfEight(const char16_t* eight, __m128i wanted) {
    return unsigned(
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(eight)), wanted)));
}
#endif

// Where `character` first stands in `text` at or after `from`, or -1. In markup most searches end
// within a few characters (the ">" of a tag, the next "<" after a short text), where a library
// call costs more than the reading: the search is made here, inline, sixteen characters at a time.
inline qsizetype IndexOfCharacter(QStringView text, char16_t character, qsizetype from) {
    Q_ASSERT(from >= 0);
    const char16_t* const begin = text.utf16();
    const char16_t* const end = begin + text.size();
    const char16_t* at = begin + std::min(from, text.size());
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(character));
    const auto matches = [&wanted](const char16_t* eight) { return MatchesOfEight(eight, wanted); };
    for (; end - at >= 16; at += 16) {
        const unsigned mask = matches(at) | matches(at + 8) << 16;
        if (mask != 0)
            return at - begin + (__builtin_ctz(mask) >> 1);
    }
    if (end - at >= 8) {
        if (const unsigned mask = matches(at))
            return at - begin + (__builtin_ctz(mask) >> 1);
        at += 8;
    }
#endif
    for (; at < end; ++at) {
        if (*at == character)
            return at - begin;
    }
    return -1;
}

// How often `character` stands in `text`, counted from one to the next with the search above.
inline qsizetype CountOfCharacter(QStringView text, char16_t character) {
    qsizetype count = 0;
    for (qsizetype at = IndexOfCharacter(text, character, 0); at >= 0;
         at = IndexOfCharacter(text, character, at + 1))
        ++count;
    return count;
}

// Where `character` last stands in `text` before `before`, or -1: the same search backwards.
inline qsizetype LastIndexOfCharacter(QStringView text, char16_t character, qsizetype before) {
    const char16_t* const begin = text.utf16();
    const char16_t* at = begin + std::clamp<qsizetype>(before, 0, text.size()); // [begin, at) is searched
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(character));
    const auto matches = [&wanted](const char16_t* eight) { return MatchesOfEight(eight, wanted); };
    // The highest bit set is the second byte of the last match.
    for (; at - begin >= 16; at -= 16) {
        const unsigned mask = matches(at - 16) | matches(at - 8) << 16;
        if (mask != 0)
            return at - 16 - begin + ((31 - __builtin_clz(mask)) >> 1);
    }
    if (at - begin >= 8) {
        if (const unsigned mask = matches(at - 8))
            return at - 8 - begin + ((31 - __builtin_clz(mask)) >> 1);
        at -= 8;
    }
#endif
    while (at > begin) {
        if (*--at == character)
            return at - begin;
    }
    return -1;
}

// Where the first character at or above `lowest` stands in `text` at or after `from`, or -1: a
// text of ordinary characters is passed over eight at a time.
inline qsizetype IndexOfCharacterFrom(QStringView text, char16_t lowest, qsizetype from) {
    Q_ASSERT(from >= 0 && lowest > 0);
    const char16_t* const begin = text.utf16();
    const char16_t* const end = begin + text.size();
    const char16_t* at = begin + std::min(from, text.size());
#ifdef __SSE2__
    // A character is at or above `lowest` when taking `lowest - 1` from it, stopping at zero,
    // leaves something.
    const __m128i below = _mm_set1_epi16(static_cast<short>(lowest - 1));
    const __m128i zero = _mm_setzero_si128();
    const auto matches = [&below, &zero](const char16_t* eight) {
        const __m128i over = _mm_subs_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(eight)), below);
        return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(over, zero))) ^ 0xFFFFu;
    };
    for (; end - at >= 8; at += 8) {
        if (const unsigned mask = matches(at))
            return at - begin + (__builtin_ctz(mask) >> 1);
    }
#endif
    for (; at < end; ++at) {
        if (*at >= lowest)
            return at - begin;
    }
    return -1;
}
