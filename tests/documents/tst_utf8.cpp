// SPDX-License-Identifier: GPL-3.0-or-later
#include "Utf8.h"

#include <QTest>

class TstUtf8 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void isValidUtf8_data();
    void isValidUtf8();
};

void TstUtf8::isValidUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("expected");

    QTest::newRow("an empty buffer has no multi-byte sequence") << QByteArray() << false;
    QTest::newRow("pure ASCII has no multi-byte sequence") << QByteArray("abc\r\n\t") << false;
    QTest::newRow("a two-byte sequence among ASCII is UTF-8") << QByteArray("caf\xC3\xA9!") << true;
    QTest::newRow("three- and four-byte sequences are UTF-8")
        << QByteArray("\xE2\x82\xAC \xF0\x9F\x98\x80") << true;
    QTest::newRow("a lone Windows-1252 letter is not UTF-8") << QByteArray("caf\xE9") << false;
    QTest::newRow("a lead byte cut at the end is not UTF-8") << QByteArray("\xC3\xA9 \xC3") << false;
    QTest::newRow("a three-byte sequence cut at the end is not UTF-8")
        << QByteArray("a\xE2\x82") << false;
    QTest::newRow("a stray continuation byte is not UTF-8") << QByteArray("\xC3\xA9\xA9") << false;
    QTest::newRow("a lead byte followed by ASCII is not UTF-8") << QByteArray("\xC3(") << false;
    QTest::newRow("F8 to FF are never lead bytes") << QByteArray("\xF8\x80\x80\x80\x80") << false;
    QTest::newRow("one bad sequence after good ones spoils the buffer")
        << QByteArray("\xC3\xA9\xC3\xA9\xE9") << false;
    // Only the shape is checked; strict decoding rejects these later.
    QTest::newRow("an overlong two-byte form passes the shape test") << QByteArray("\xC0\x80") << true;
    QTest::newRow("an encoded surrogate passes the shape test") << QByteArray("\xED\xA0\x80") << true;
    QTest::newRow("lead byte F5 passes the shape test") << QByteArray("\xF5\x80\x80\x80") << true;
}

void TstUtf8::isValidUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, expected);
    QCOMPARE(IsValidUtf8(bytes), expected);
}

QTEST_GUILESS_MAIN(TstUtf8)
#include "tst_utf8.moc"
