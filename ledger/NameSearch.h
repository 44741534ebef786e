#pragma once

#include <QString>

// What the find bar's text finds among item names. Both texts are read
// without their blanks and with Latin letters in one case; the name shows
// when the text stands in it somewhere, letter by letter, where a Hangul
// initial consonant (ㄱ to ㅎ, the double ones too) in the text also stands
// for any syllable that begins with it: "ㅍㄹ" finds "펠라린 망토", "망ㅌ"
// finds "검은 망토", "펠ㄹ" finds "펠라린".
class NameSearch
{
public:
    explicit NameSearch(const QString &text = QString());

    // Nothing to look for: every name shows.
    bool isEmpty() const { return m_pattern.isEmpty(); }
    bool matches(const QString &name) const;
    // A name as the search reads it; matching many names, read each once.
    static QString normalized(QString name);
    bool matchesNormalized(const QString &normalizedName) const;

private:
    QString m_pattern;
};
