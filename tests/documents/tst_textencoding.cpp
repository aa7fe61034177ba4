// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextEncoding.h"
#include "TextFile.h"
#include "UserError.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstTextEncoding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ansiRoundTripsEveryByte();
    void ansiWritesQuestionMarkForWhatItCannotHold();
    void utf16KeepsEveryCodeUnit_data();
    void utf16KeepsEveryCodeUnit();
    void utf8DecodingIsStrict_data();
    void utf8DecodingIsStrict();
    void utf8WritesQuestionMarkForLoneSurrogates();
    void encodingForSaveChoosesThePreamble_data();
    void encodingForSaveChoosesThePreamble();
};

void TstTextEncoding::ansiRoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = TEncoding::Ansi().GetString(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text[0x80], QChar(0x20AC)); // euro sign: Windows-1252, not Latin-1
    QCOMPARE(text[0x9F], QChar(0x0178));
    QCOMPARE(text[0xE9], QChar(0x00E9));
    for (int unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(text[unassigned], QChar(unassigned));
    qsizetype replaced = -1;
    QCOMPARE(TEncoding::Ansi().GetBytes(text, replaced), all);
    QCOMPARE(replaced, 0);
}

void TstTextEncoding::ansiWritesQuestionMarkForWhatItCannotHold()
{
    // CJK ideograph, a surrogate pair (one character), a lone surrogate.
    const QString text = u"a\u4E2Db\U0001F600c"_s + QChar(0xDC00) + u"\u20AC"_s;
    qsizetype replaced = -1;
    QCOMPARE(TEncoding::Ansi().GetBytes(text, replaced), "a?b?c?\x80"_ba);
    QCOMPARE(replaced, 3);
}

void TstTextEncoding::utf16KeepsEveryCodeUnit_data()
{
    QTest::addColumn<bool>("littleEndian");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const QString loneHigh = u"a"_s + QChar(0xD800) + u"b"_s;
    const QString loneLow = QString(QChar(0xDC00)) + u"z"_s;
    QTest::newRow("a lone high surrogate survives in LE")
        << true << "a\0\x00\xD8" "b\0"_ba << loneHigh;
    QTest::newRow("a lone low surrogate survives in BE") << false << "\xDC\x00\0z"_ba << loneLow;
    QTest::newRow("a surrogate pair is two code units in BE")
        << false << "\xD8\x3D\xDE\x00"_ba << u"\U0001F600"_s;
}

void TstTextEncoding::utf16KeepsEveryCodeUnit()
{
    QFETCH(bool, littleEndian);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const TEncoding &encoding = littleEndian ? TEncoding::Utf16LE() : TEncoding::Utf16BE();

    QCOMPARE(encoding.GetString(bytes), text);
    QCOMPARE(encoding.GetString(bytes + 'x'), text); // a final odd byte is ignored
    qsizetype replaced = -1;
    QCOMPARE(encoding.GetBytes(text, replaced), bytes);
    QCOMPARE(replaced, 0);
}

void TstTextEncoding::utf8DecodingIsStrict_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("an overlong two-byte form") << "\xC0\xAF"_ba;
    QTest::newRow("an overlong three-byte form") << "\xE0\x80\xAF"_ba;
    QTest::newRow("an overlong four-byte form") << "\xF0\x8F\xBF\xBF"_ba;
    QTest::newRow("an encoded high surrogate") << "\xED\xA0\x80"_ba;
    QTest::newRow("an encoded low surrogate") << "\xED\xBF\xBF"_ba;
    QTest::newRow("a value above U+10FFFF") << "\xF4\x90\x80\x80"_ba;
    QTest::newRow("lead byte F5") << "\xF5\x80\x80\x80"_ba;
    QTest::newRow("a sequence cut at the end") << "ok\xE2\x82"_ba;
    QTest::newRow("a Windows-1252 letter") << "caf\xE9"_ba;
}

void TstTextEncoding::utf8DecodingIsStrict()
{
    QFETCH(QByteArray, bytes);
    try {
        TEncoding::Utf8().GetString(bytes);
        QFAIL("ill-formed UTF-8 was accepted");
    } catch (const TUserError &error) {
        QCOMPARE(error.Message(),
                 u"No mapping for the Unicode character exists in the target multi-byte code page"_s);
    }
}

void TstTextEncoding::utf8WritesQuestionMarkForLoneSurrogates()
{
    const QString text = u"\u00E9"_s + QChar(0xD800) + u"\U0001F600"_s + QChar(0xDC00);
    qsizetype replaced = -1;
    QCOMPARE(TEncoding::Utf8().GetBytes(text, replaced), "\xC3\xA9?\xF0\x9F\x98\x80?"_ba);
    QCOMPARE(replaced, 2);
}

void TstTextEncoding::encodingForSaveChoosesThePreamble_data()
{
    QTest::addColumn<const TEncoding *>("encoding");
    QTest::addColumn<bool>("hasBom");
    QTest::addColumn<QByteArray>("preamble");

    QTest::newRow("UTF-8 with a mark keeps it") << &TEncoding::Utf8() << true << "\xEF\xBB\xBF"_ba;
    QTest::newRow("UTF-8 without a mark writes none") << &TEncoding::Utf8() << false << QByteArray();
    QTest::newRow("UTF-16 LE writes FF FE") << &TEncoding::Utf16LE() << true << "\xFF\xFE"_ba;
    QTest::newRow("UTF-16 BE writes FE FF") << &TEncoding::Utf16BE() << true << "\xFE\xFF"_ba;
    QTest::newRow("ANSI writes no mark") << &TEncoding::Ansi() << false << QByteArray();
}

void TstTextEncoding::encodingForSaveChoosesThePreamble()
{
    QFETCH(const TEncoding *, encoding);
    QFETCH(bool, hasBom);
    QFETCH(QByteArray, preamble);
    const TUTF8NoBOMEncoding utf8NoBom;

    const TEncoding &forSave = EncodingForSave(*encoding, hasBom, utf8NoBom);
    QCOMPARE(forSave.GetPreamble(), preamble);
    // The no-mark object is only a writer: it must still encode like UTF-8.
    qsizetype replaced = -1;
    if (&forSave == &utf8NoBom)
        QCOMPARE(forSave.GetBytes(u"\u00E9"_s, replaced), "\xC3\xA9"_ba);
    else
        QCOMPARE(&forSave, encoding);
}

QTEST_GUILESS_MAIN(TstTextEncoding)
#include "tst_textencoding.moc"
