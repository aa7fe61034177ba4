// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextFormat.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestTextFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatText_data();
    void formatText();
};

void TestTextFormat::formatText_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");

    QTest::newRow("the line-count sentence takes its two numbers in order")
        << u"%d lines (left file) vs %d lines (right file)."_s << QStringList{u"120"_s, u"118"_s}
        << u"120 lines (left file) vs 118 lines (right file)."_s;
    QTest::newRow("a precision directive is replaced and a doubled percent sign prints as one")
        << u"Equal lines: %d of %d (%.1f%%). Different lines: %d."_s
        << QStringList{u"100"_s, u"125"_s, u"80.0"_s, u"25"_s}
        << u"Equal lines: 100 of 125 (80.0%). Different lines: 25."_s;
    QTest::newRow("flags, width and precision all belong to one directive")
        << u"[%-8s|%+05d|%2.2x|%#o|%e]"_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}
        << u"[a|b|c|d|e]"_s;
    QTest::newRow("an argument is inserted as it stands, its own percent signs untouched")
        << u"Cannot open file \"%s\". %s"_s << QStringList{u"/tmp/100%s.txt"_s, u"50%% done"_s}
        << u"Cannot open file \"/tmp/100%s.txt\". 50%% done"_s;
    QTest::newRow("directives left over when the arguments run out stay as written")
        << u"%s and %.1f and %d"_s << QStringList{u"x"_s} << u"x and %.1f and %d"_s;
    QTest::newRow("surplus arguments are ignored")
        << u"only %s"_s << QStringList{u"one"_s, u"two"_s} << u"only one"_s;
    QTest::newRow("a percent sign that starts no directive is kept, also before a blank")
        << u"100% sure, %q, %.z and a trailing %"_s << QStringList{u"x"_s}
        << u"100% sure, %q, %.z and a trailing %"_s;
    QTest::newRow("a doubled percent sign is no directive and takes no argument")
        << u"%%d then %d"_s << QStringList{u"7"_s} << u"%d then 7"_s;
    QTest::newRow("a pattern without directives comes back unchanged")
        << u"No comparable lines."_s << QStringList{} << u"No comparable lines."_s;
    QTest::newRow("an empty pattern gives an empty text") << QString() << QStringList{u"x"_s} << QString();
}

void TestTextFormat::formatText()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QCOMPARE(FormatText(pattern, args), expected);
}

QTEST_APPLESS_MAIN(TestTextFormat)
#include "tst_textformat.moc"
