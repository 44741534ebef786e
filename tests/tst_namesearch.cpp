// What the find bar's text finds among item names.

#include "NameSearch.h"

#include <QtTest>

class NameSearchTest : public QObject
{
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
};

void NameSearchTest::matches_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");

    const auto row = [](const char *label, const char *typed, const char *name, bool found) {
        QTest::newRow(label) << QString::fromUtf8(typed) << QString::fromUtf8(name) << found;
    };
    row("nothing typed", "", "펠라린 망토", true);
    row("part of a name", "라린", "펠라린 망토", true);
    row("Latin letters in any case", "pc방", "PC방 쿠폰", true);
    row("blanks in the name", "펠라린망토", "펠라린 망토", true);
    row("blanks in the text", "검은 망", "검은망토", true);
    row("initials", "ㅍㄹ", "펠라린 망토", true);
    row("initials across a blank", "ㅇㅁ", "검은 망토", true);
    row("initials after the start", "ㅁㅌ", "검은 망토", true);
    row("initials in order only", "ㄹㅍ", "펠라린 망토", false);
    row("initials side by side only", "ㅍㅁ", "펠라린 망토", false);
    row("a double initial", "ㄲㅁ", "꼬마 용 펫", true);
    row("a single initial is not its double", "ㄱㅁ", "꼬마 용 펫", false);
    row("a syllable then initials", "펠ㄹㄹ", "펠라린 망토", true);
    row("initials then a syllable", "ㅁ토", "검은 망토", true);
    row("a syllable stands for itself only", "펠라", "펠리컨", false);
    row("a vowel is no initial", "ㅏ", "가방", false);
    row("the jamo in a name", "ㅋㅋ", "ㅋㅋ 상자", true);
    row("digits", "10개", "펫 간식 꾸러미 10개", true);
    row("no match", "날개", "펠라린 망토", false);
    row("longer than the name", "펠라린 망토 상자", "펠라린 망토", false);
}

void NameSearchTest::matches()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(bool, found);
    const NameSearch search(typed);
    QCOMPARE(search.matches(name), found);
    QCOMPARE(search.matchesNormalized(NameSearch::normalized(name)), found);
}

QTEST_GUILESS_MAIN(NameSearchTest)
#include "tst_namesearch.moc"
