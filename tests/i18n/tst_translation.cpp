// SPDX-License-Identifier: GPL-3.0-or-later
#include "translation.h"

#include "LanguageCode.h"
#include "TranslationCatalogue.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Three languages; the German column has an empty translation and the
// English text "Cancel" occurs twice.
const QByteArray kCatalogue = QByteArrayLiteral(
    "3\n"
    "English\nDeutsch\n\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n"
    "en\nde\nja\n"
    "Cancel\nAbbrechen\n\xE3\x82\xAD\xE3\x83\xA3\xE3\x83\xB3\xE3\x82\xBB\xE3\x83\xAB\n"
    "Open\n\n\xE9\x96\x8B\xE3\x81\x8F\n"
    "Close\nSchlie\xC3\x9F" "en\n\xE9\x96\x89\xE3\x81\x98\xE3\x82\x8B\n"
    "Cancel\nNochmals abbrechen\nX\n");

QSettings UserStore()
{
    return QSettings(QSettings::UserScope, u"Lunavist"_s, u"Lunavist"_s);
}

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void parse_data();
    void parse();
    void lookup_data();
    void lookup();
    void indexOfCode_data();
    void indexOfCode();
    void languageCodeFor_data();
    void languageCodeFor();
    void loadTranslations_data();
    void loadTranslations();
};

void TestTranslation::initTestCase()
{
    // Keep the user's real store out of reach.
    QStandardPaths::setTestModeEnabled(true);
    const QString testConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(testConfig.contains(u".qttest"_s));
    QVERIFY2(UserStore().fileName().startsWith(testConfig), qPrintable(UserStore().fileName()));
}

void TestTranslation::cleanup()
{
    UserStore().clear();
}

void TestTranslation::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<int>("rows");

    const QStringList names{u"English"_s, u"Deutsch"_s};
    const QStringList codes{u"en"_s, u"de"_s};
    const QStringList noNames{QString(), QString()};

    QTest::newRow("LF ends lines")
        << QByteArray("2\nEnglish\nDeutsch\nen\nde\nYes\nJa\n") << true << names << codes << 3;
    QTest::newRow("CR LF ends lines")
        << QByteArray("2\r\nEnglish\r\nDeutsch\r\nen\r\nde\r\nYes\r\nJa\r\n") << true << names << codes << 3;
    QTest::newRow("a lone CR ends lines, and the last line needs no line end")
        << QByteArray("2\rEnglish\rDeutsch\ren\rde\rYes\rJa") << true << names << codes << 3;
    QTest::newRow("mixed line ends each end one line")
        << QByteArray("2\r\nEnglish\nDeutsch\ren\r\nde\nYes\rJa\n") << true << names << codes << 3;
    QTest::newRow("a leading byte-order mark is skipped")
        << QByteArray("\xEF\xBB\xBF" "2\nEnglish\nDeutsch\nen\nde\n") << true << names << codes << 2;
    QTest::newRow("an entry cut off after its English text is ignored, final line end or not")
        << QByteArray("2\nEnglish\nDeutsch\nen\nde\nYes\n") << true << names << codes << 2;
    QTest::newRow("an empty line inside the catalogue is an empty text")
        << QByteArray("2\nEnglish\n\nen\nde\n") << true << QStringList{u"English"_s, QString()} << codes << 2;
    QTest::newRow("a catalogue with only its name row has no languages")
        << QByteArray("2\nEnglish\nDeutsch\n") << false << QStringList{u"English"_s, QString()}
        << QStringList() << 1;
    QTest::newRow("a catalogue that ends inside its code row keeps what it read")
        << QByteArray("2\nEnglish\nDeutsch\nen\n") << false << names << QStringList{u"en"_s} << 1;
    QTest::newRow("line 0 that is not a number gives an empty catalogue")
        << QByteArray("two\nEnglish\nDeutsch\nen\nde\n") << false << noNames << QStringList() << 0;
    QTest::newRow("an empty file gives an empty catalogue")
        << QByteArray() << false << noNames << QStringList() << 0;
    QTest::newRow("zero languages give an empty catalogue")
        << QByteArray("0\nEnglish\nen\n") << false << noNames << QStringList() << 0;
    QTest::newRow("a negative count gives an empty catalogue")
        << QByteArray("-2\nEnglish\nDeutsch\nen\nde\n") << false << noNames << QStringList() << 0;
    QTest::newRow("a count far beyond the file's lines gives an empty catalogue")
        << QByteArray("2000000000\nEnglish\nen\n") << false << noNames << QStringList() << 0;
    QTest::newRow("bytes that are not UTF-8 give an empty catalogue")
        << QByteArray("2\nEnglish\nDeutsch\nen\nde\nSize\nGr\xF6\xDF" "e\n") << false << noNames
        << QStringList() << 0;
    QTest::newRow("a UTF-8 sequence cut off at the end gives an empty catalogue")
        << QByteArray("2\nEnglish\nDeutsch\nen\nde\nSize\nGr\xC3") << false << noNames << QStringList() << 0;
}

void TestTranslation::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    QFETCH(QStringList, names);
    QFETCH(QStringList, codes);
    QFETCH(int, rows);

    const TCatalogueParseResult parsed = ParseTranslationCatalogue(bytes);
    const TTranslationCatalogue &catalogue = parsed.Catalogue;
    QCOMPARE(parsed.Complete, complete);
    QStringList actualNames;
    for (int k = 0; k < names.size(); ++k)
        actualNames.append(catalogue.DisplayName(k));
    QCOMPARE(actualNames, names);
    QCOMPARE(catalogue.LanguageCount(), codes.size());
    QStringList actualCodes;
    for (int k = 0; k < catalogue.LanguageCount(); ++k)
        actualCodes.append(catalogue.Code(k));
    QCOMPARE(actualCodes, codes);
    QCOMPARE(catalogue.RowCount(), rows);
}

void TestTranslation::lookup_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("a key gives its translation") << 1 << u"Cancel"_s << u"Abbrechen"_s;
    QTest::newRow("a translation is decoded as UTF-8") << 1 << u"Close"_s << u"Schlie\u00DFen"_s;
    QTest::newRow("the first of two rows with the same key wins") << 2 << u"Cancel"_s
                                                                   << u"\u30AD\u30E3\u30F3\u30BB\u30EB"_s;
    QTest::newRow("a key that differs in letter case is not translated") << 1 << u"cancel"_s << u"cancel"_s;
    QTest::newRow("a key with a trailing blank is not translated") << 1 << u"Cancel "_s << u"Cancel "_s;
    QTest::newRow("an empty translation shows the English text") << 1 << u"Open"_s << u"Open"_s;
    QTest::newRow("the same entry in another column is translated") << 2 << u"Open"_s << u"\u958B\u304F"_s;
    QTest::newRow("the name row is searched like any other") << 1 << u"English"_s << u"Deutsch"_s;
    QTest::newRow("the code row is searched like any other") << 2 << u"en"_s << u"ja"_s;
    QTest::newRow("an unknown text comes back unchanged") << 1 << u"Help"_s << u"Help"_s;
    QTest::newRow("column 0 returns the argument") << 0 << u"Cancel"_s << u"Cancel"_s;
    QTest::newRow("a column the catalogue lacks returns the argument") << 3 << u"Cancel"_s << u"Cancel"_s;
}

void TestTranslation::lookup()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const TCatalogueParseResult parsed = ParseTranslationCatalogue(kCatalogue);
    QVERIFY(parsed.Complete);
    QCOMPARE(parsed.Catalogue.Lookup(column, text), expected);
}

void TestTranslation::indexOfCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("expected");

    QTest::newRow("a code in capitals finds the lower-case column") << u"DE"_s << 1;
    QTest::newRow("a code in mixed case finds its column") << u"Ja"_s << 2;
    QTest::newRow("the program's code for Japanese does not find the ISO code") << u"jp"_s << -1;
    QTest::newRow("a prefix of a code finds nothing") << u"d"_s << -1;
    QTest::newRow("an empty code finds nothing") << QString() << -1;
}

void TestTranslation::indexOfCode()
{
    QFETCH(QString, code);
    QFETCH(int, expected);

    QCOMPARE(ParseTranslationCatalogue(kCatalogue).Catalogue.IndexOfCode(code), expected);
}

void TestTranslation::languageCodeFor_data()
{
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Japanese is jp, not the ISO code") << QLocale::Japanese << u"jp"_s;
    QTest::newRow("Chinese is cn") << QLocale::Chinese << u"cn"_s;
    QTest::newRow("Korean is kr") << QLocale::Korean << u"kr"_s;
    QTest::newRow("German keeps its ISO code") << QLocale::German << u"de"_s;
    QTest::newRow("Turkish keeps its ISO code") << QLocale::Turkish << u"tr"_s;
    QTest::newRow("a language outside the table is English") << QLocale::Swedish << u"en"_s;
    QTest::newRow("the C locale is English") << QLocale::C << u"en"_s;
}

void TestTranslation::languageCodeFor()
{
    QFETCH(QLocale::Language, language);
    QFETCH(QString, expected);

    QCOMPARE(LanguageCodeFor(language), expected);
}

void TestTranslation::loadTranslations_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no catalogue file
    QTest::addColumn<QVariant>("stored"); // invalid: nothing stored
    QTest::addColumn<QString>("code");    // null: the system's code
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("cancel");  // what Translate("Cancel") shows

    QTest::newRow("a stored code in capitals selects the lower-case column")
        << kCatalogue << QVariant(u"DE"_s) << u"DE"_s << 1 << u"Abbrechen"_s;
    QTest::newRow("the stored code of column 0 shows the program's texts")
        << kCatalogue << QVariant(u"en"_s) << u"en"_s << 0 << u"Cancel"_s;
    QTest::newRow("a stored code the catalogue lacks stays the code but selects column 0")
        << kCatalogue << QVariant(u"xx"_s) << u"xx"_s << 0 << u"Cancel"_s;
    QTest::newRow("a stored value that is not a text leaves the system's code")
        << kCatalogue << QVariant(QStringList{u"de"_s, u"ja"_s}) << QString() << -1 << QString();
    QTest::newRow("with nothing stored the system's code is used")
        << kCatalogue << QVariant() << QString() << -1 << QString();
    QTest::newRow("a missing catalogue selects column 0")
        << QByteArray() << QVariant(u"de"_s) << u"de"_s << 0 << u"Cancel"_s;
    QTest::newRow("a malformed catalogue selects column 0")
        << QByteArray("x\nEnglish\nDeutsch\nen\nde\nCancel\nAbbrechen\n") << QVariant(u"de"_s) << u"de"_s << 0
        << u"Cancel"_s;
    QTest::newRow("a catalogue that ends inside its code row selects column 0, even for a code it read")
        << QByteArray("3\nEnglish\nDeutsch\nFran\xC3\xA7" "ais\nen\nde\n") << QVariant(u"de"_s) << u"de"_s << 0
        << u"Cancel"_s;
}

void TestTranslation::loadTranslations()
{
    QFETCH(QByteArray, file);
    QFETCH(QVariant, stored);
    QFETCH(QString, code);
    QFETCH(int, index);
    QFETCH(QString, cancel);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!file.isNull()) {
        QFile out(dir.filePath(u"transl.dt"_s));
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(file), file.size());
    }
    if (stored.isValid())
        UserStore().setValue(u"CurrentLanguage"_s, stored);

    // Start from another choice so that loading must set both values.
    SetCurrentLanguageIndex(2);
    SetCurrentLanguageCode(u"zz"_s);
    LoadTranslationsFrom(dir.path());
    if (code.isNull()) {
        // The machine's language is unknown here: expect whatever it maps to.
        code = SystemLanguageCode();
        index = std::max(0, ParseTranslationCatalogue(kCatalogue).Catalogue.IndexOfCode(code));
        cancel = ParseTranslationCatalogue(kCatalogue).Catalogue.Lookup(index, u"Cancel"_s);
    }
    QCOMPARE(CurrentLanguageCode(), code);
    QCOMPARE(CurrentLanguageIndex(), index);
    QCOMPARE(Translate(u"Cancel"_s), cancel);
}

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
