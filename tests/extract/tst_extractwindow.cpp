// SPDX-License-Identifier: GPL-3.0-or-later
// Two documents compared through the real window, the real client and the
// real lunavist-extract program, started as the run script starts it.

#include "AppInfo.h"
#include "DiffGrid.h"
#include "ExtractFixtures.h"
#include "ExtractionClient.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "translation.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ExtractFixtures;

class TstExtractWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void twoDocxDifferingInOneParagraphGiveOneChangedRow();

private:
    QString WriteFile(const QString &name, const QByteArray &bytes);

    QTemporaryDir FDir;
    QProcess FServer;
    quint16 FPort = 0;
};

void TstExtractWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(ApplicationTitle());
    QVERIFY(FDir.isValid());
    FServer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    FServer.start(QStringLiteral(LUNAVIST_EXTRACT_PATH), {u"--port"_s, u"0"_s, u"--quiet"_s});
    QVERIFY(FServer.waitForStarted());
    // The program names its port once it listens.
    QVERIFY(FServer.waitForReadyRead(10000));
    const QByteArray line = FServer.readLine().trimmed();
    QVERIFY2(line.startsWith("lunavist-extract listening on 127.0.0.1:"), line.constData());
    FPort = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
    QVERIFY(FPort != 0);
}

void TstExtractWindow::cleanupTestCase()
{
    FServer.terminate();
    QVERIFY(FServer.waitForFinished(5000));
}

QString TstExtractWindow::WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TstExtractWindow::twoDocxDifferingInOneParagraphGiveOneChangedRow()
{
    SetCurrentLanguageIndex(0);
    TScriptedPrompts prompts;
    TfrmMain window(prompts);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const quint16 port = FPort;
    window.Session().SetExtractFunction(
        [port](const QString &path) { return ExtractDocumentText(path, u"127.0.0.1"_s, port); });

    const QByteArray intro = Paragraph("Minutes of the meeting");
    const QByteArray outro = Paragraph("Next meeting on Monday.");
    const QString left = WriteFile(u"left.docx"_s, Docx(intro + Paragraph("We agreed on the budget.") + outro));
    const QString right =
        WriteFile(u"right.docx"_s, Docx(intro + Paragraph("We agreed on the revised budget.") + outro));
    window.findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(left);
    window.findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(right);
    window.findChild<QAction *>(u"mmAsComplexDocumentsegPDFDOCXetcwithTIKA1"_s)->trigger();

    QCOMPARE(prompts.Log, (QStringList{u"information: Compared:\r\n3 lines (left file) vs 3 lines (right file).\r\n"
                                       "Equal lines: 2 of 3 (66.7%).\r\nDifferent lines: 1."_s}));
    const TDiffItems &items = window.Session().DiffItems();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0].Kind, dkEqual);
    QCOMPARE(items[1].Kind, dkDifferent);
    QCOMPARE(items[2].Kind, dkEqual);
    // Grid row 2 shows the second item; column 1 is the left side, 2 the right.
    QCOMPARE(window.Grid().CellText(1, 2), u"We agreed on the budget."_s);
    QCOMPARE(window.Grid().CellText(2, 2), u"We agreed on the revised budget."_s);
    QVERIFY(prompts.Unscripted.isEmpty());
}

QTEST_MAIN(TstExtractWindow)
#include "tst_extractwindow.moc"
