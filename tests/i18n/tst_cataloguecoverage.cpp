// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped catalogue must translate every text the program shows: each
// literal passed to Translate in the sources has a row, and every row has
// all its languages with the same placeholders.

#include "TranslationCatalogue.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString SourcePath(const QString &relative)
{
    return QStringLiteral(LUNAVIST_SOURCE_DIR) + u'/' + relative;
}

// The C++ escapes our literals use.
QString Unescape(QStringView literal)
{
    QString text;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (literal[i] != u'\\' || i + 1 == literal.size()) {
            text += literal[i];
            continue;
        }
        const QChar next = literal[++i];
        text += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next == u't' ? QChar(u'\t') : next;
    }
    return text;
}

// Every literal text passed to Translate in the program's sources, with where it stands.
QMap<QString, QString> TranslatedLiterals()
{
    // Translate(u"..." "..."_s) or Translate(QStringLiteral("..." "...")); plain
    // literals, since moc does not read raw strings.
    static const QRegularExpression call(
        QStringLiteral("Translate\\(\\s*(?:u((?:\"(?:[^\"\\\\]|\\\\.)*\"\\s*)+)_s|QStringLiteral\\(((?:\"(?:[^\"\\\\]|\\\\.)*\"\\s*)+)\\))\\s*\\)"));
    static const QRegularExpression piece(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    QMap<QString, QString> found;
    for (const QString &folder : {u"app"_s, u"documents"_s, u"engine"_s, u"i18n"_s, u"session"_s, u"settings"_s,
                                  u"tools"_s, u"update"_s, u"view"_s}) {
        QDirIterator files(SourcePath(folder), {u"*.cpp"_s, u"*.h"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString source = QString::fromUtf8(file.readAll());
            for (const auto &match : call.globalMatch(source)) {
                const QString pieces = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
                QString text;
                for (const auto &part : piece.globalMatch(pieces))
                    text += Unescape(part.captured(1));
                found.insert(text, QFileInfo(file.fileName()).fileName());
            }
        }
    }
    return found;
}

QStringList Placeholders(const QString &text)
{
    static const QRegularExpression directive(QStringLiteral("%[-+ #0]*\\d*(?:\\.\\d+)?[a-zA-Z%]"));
    QStringList list;
    for (const auto &match : directive.globalMatch(text))
        list.append(match.captured());
    return list;
}

} // namespace

class TestCatalogueCoverage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyTranslatedTextHasARow();
    void everyRowIsTranslatedWithTheSamePlaceholders();

private:
    TTranslationCatalogue FCatalogue;
};

void TestCatalogueCoverage::initTestCase()
{
    QFile file(SourcePath(u"i18n/transl.dt"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const TCatalogueParseResult parsed = ParseTranslationCatalogue(file.readAll());
    QVERIFY(parsed.Complete);
    QCOMPARE(parsed.Catalogue.LanguageCount(), 3);
    QCOMPARE(parsed.Catalogue.Code(0), u"en"_s);
    FCatalogue = parsed.Catalogue;
}

void TestCatalogueCoverage::everyTranslatedTextHasARow()
{
    const QMap<QString, QString> literals = TranslatedLiterals();
    QVERIFY(literals.size() > 10); // the scan itself works
    QStringList missing;
    for (auto it = literals.cbegin(); it != literals.cend(); ++it) {
        if (FCatalogue.RowOf(it.key()) < 2)
            missing.append(u"%1 (%2)"_s.arg(it.key(), it.value()));
    }
    QVERIFY2(missing.isEmpty(), qPrintable(u"Not in i18n/transl.dt:\n"_s + missing.join(u'\n')));
}

void TestCatalogueCoverage::everyRowIsTranslatedWithTheSamePlaceholders()
{
    for (int row = 2; row < FCatalogue.RowCount(); ++row) {
        const QString english = FCatalogue.Text(0, row);
        for (int column = 1; column < FCatalogue.LanguageCount(); ++column) {
            const QString translation = FCatalogue.Text(column, row);
            QVERIFY2(!translation.isEmpty(), qPrintable(english));
            QVERIFY2(Placeholders(translation) == Placeholders(english), qPrintable(english + u" / "_s + translation));
        }
    }
}

QTEST_GUILESS_MAIN(TestCatalogueCoverage)
#include "tst_cataloguecoverage.moc"
