#include "NameSearch.h"

#include <utility>

namespace {

constexpr char16_t firstSyllable = 0xAC00;
constexpr char16_t lastSyllable = 0xD7A3;
// Syllables come in blocks of 21 vowels times 28 endings per initial.
constexpr int syllablesPerInitial = 21 * 28;

// The nineteen initials in syllable order, as the keyboard types them
// (Hangul compatibility jamo).
constexpr char16_t initials[19] = {0x3131, 0x3132, 0x3134, 0x3137, 0x3138, 0x3139, 0x3141, 0x3142, 0x3143, 0x3145,
                                   0x3146, 0x3147, 0x3148, 0x3149, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E};

bool isInitial(char16_t c)
{
    for (char16_t initial : initials)
        if (initial == c)
            return true;
    return false;
}

char16_t initialOf(char16_t syllable)
{
    return initials[(syllable - firstSyllable) / syllablesPerInitial];
}

bool letterMatches(char16_t wanted, char16_t shown)
{
    if (wanted == shown)
        return true;
    return shown >= firstSyllable && shown <= lastSyllable && isInitial(wanted) && initialOf(shown) == wanted;
}

} // namespace

NameSearch::NameSearch(const QString &text)
    : m_pattern(normalized(text))
{
}

QString NameSearch::normalized(QString name)
{
    // In place: a search reads every name of the ledger once.
    QChar *letters = name.data();
    int kept = 0;
    for (int k = 0; k < name.size(); ++k)
        if (!letters[k].isSpace())
            letters[kept++] = letters[k];
    name.truncate(kept);
    return std::move(name).toCaseFolded();
}

bool NameSearch::matches(const QString &name) const
{
    return matchesNormalized(normalized(name));
}

bool NameSearch::matchesNormalized(const QString &name) const
{
    const int wanted = m_pattern.size();
    if (wanted == 0)
        return true;
    const char16_t *pattern = reinterpret_cast<const char16_t *>(m_pattern.utf16());
    const char16_t *text = reinterpret_cast<const char16_t *>(name.utf16());
    for (int start = 0; start + wanted <= name.size(); ++start) {
        int k = 0;
        while (k < wanted && letterMatches(pattern[k], text[start + k]))
            ++k;
        if (k == wanted)
            return true;
    }
    return false;
}
