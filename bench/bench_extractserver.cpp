// SPDX-License-Identifier: GPL-3.0-or-later
// Extraction time and peak memory of lunavist-extract for a generated
// 100-page PDF and a generated DOCX of about 10 MB: each document is
// extracted by the program's own worker command (`--extract FILE`, what the
// server runs per request), whose peak resident memory (ru_maxrss) GNU time
// reports, and then sent through the program's client to a running server, which
// adds the upload and the worker's start. Run headless:
//   QT_QPA_PLATFORM=offscreen bench_extractserver [runs, default 3]

#include "ExtractFixtures.h"
#include "ExtractionClient.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

const char *const ExtractProgram = LUNAVIST_EXTRACT_PATH;

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

// Words of random letters: text that packs about as tightly as prose.
QByteArray RandomWords(QRandomGenerator &random, int count)
{
    QByteArray words;
    for (int i = 0; i < count; ++i) {
        const int length = 2 + int(random.bounded(9));
        for (int j = 0; j < length; ++j)
            words += char('a' + random.bounded(26));
        words += ' ';
    }
    return words;
}

QByteArray HundredPagePdf()
{
    QRandomGenerator random(7);
    QList<QStringList> pages;
    for (int page = 0; page < 100; ++page) {
        QStringList lines;
        for (int line = 0; line < 45; ++line)
            lines.append(QString::fromLatin1(RandomWords(random, 12)).trimmed());
        pages.append(lines);
    }
    return ExtractFixtures::Pdf(pages);
}

// Paragraphs, every tenth row of a table among them, until the package
// reaches about `bytes`.
QByteArray LargeDocx(qint64 bytes)
{
    QRandomGenerator random(11);
    QByteArray body;
    int paragraphs = 0;
    // About 2 bytes of this XML pack into 1.
    while (body.size() < bytes * 2) {
        if (++paragraphs % 10 == 0)
            body += "<w:tbl><w:tr><w:tc>" + ExtractFixtures::Paragraph(RandomWords(random, 3)) + "</w:tc><w:tc>"
                    + ExtractFixtures::Paragraph(RandomWords(random, 3)) + "</w:tc></w:tr></w:tbl>";
        else
            body += ExtractFixtures::Paragraph(RandomWords(random, 40));
    }
    return ExtractFixtures::Docx(body);
}

struct TRun {
    qint64 WallMs = 0;
    double CpuSeconds = 0;
    long PeakKiB = 0;
    int Status = -1;
};

// Runs `lunavist-extract --extract path`, its text going to /dev/null,
// under GNU time, which forks it from its own small process: a child
// spawned from this large one would be charged this one's resident memory
// in its ru_maxrss.
TRun RunWorker(const QString &path, const QString &report)
{
    QProcess time;
    time.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    time.start(u"/usr/bin/time"_s, {u"-f"_s, u"%M %U %S %x"_s, u"-o"_s, report,
                                    QString::fromLocal8Bit(ExtractProgram), u"--extract"_s, path});
    if (!time.waitForFinished(-1) || time.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "cannot run /usr/bin/time (Debian package time)\n");
        std::exit(2);
    }
    TRun run;
    run.WallMs = clock.elapsed();
    QFile file(report);
    file.open(QIODevice::ReadOnly);
    const QList<QByteArray> figures = file.readAll().trimmed().split('\n').last().split(' ');
    run.PeakKiB = figures.value(0).toLong();
    run.CpuSeconds = figures.value(1).toDouble() + figures.value(2).toDouble();
    run.Status = figures.value(3).toInt();
    return run;
}

void Measure(const char *name, const QString &path, quint16 port, int runs)
{
    QList<TRun> workerRuns;
    for (int i = 0; i < runs; ++i)
        workerRuns.append(RunWorker(path, path + u".time"_s));
    std::sort(workerRuns.begin(), workerRuns.end(), [](const TRun &a, const TRun &b) { return a.WallMs < b.WallMs; });
    const TRun &median = workerRuns[workerRuns.size() / 2];
    long peak = 0;
    for (const TRun &run : workerRuns)
        peak = std::max(peak, run.PeakKiB);

    QList<qint64> serverMs;
    qsizetype characters = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        const TExtractionResult result = ExtractDocumentText(path, u"127.0.0.1"_s, port);
        serverMs.append(clock.elapsed());
        if (!result.Success) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(result.ErrorText));
            std::exit(1);
        }
        characters = result.Text.size();
    }
    std::sort(serverMs.begin(), serverMs.end());
    std::printf("%-26s %9.1f MB %11lld chars | worker: %6lld ms wall, %5.2f s CPU, peak RSS %7.1f MB (exit %d) "
                "| through the server: %6lld ms\n",
                name, double(QFile(path).size()) / 1e6, static_cast<long long>(characters),
                static_cast<long long>(median.WallMs), median.CpuSeconds, double(peak) / 1024.0, median.Status,
                static_cast<long long>(serverMs[serverMs.size() / 2]));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv); // the PDF writer needs fonts
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir dir;
    const QString text = dir.filePath(u"one-line.txt"_s);
    const QString pdf = dir.filePath(u"hundred-pages.pdf"_s);
    const QString docx = dir.filePath(u"ten-megabytes.docx"_s);
    WriteFile(text, "one line\n");
    WriteFile(pdf, HundredPagePdf());
    WriteFile(docx, LargeDocx(10'000'000));

    QProcess server;
    server.start(QString::fromLocal8Bit(ExtractProgram), {u"--port"_s, u"0"_s, u"--quiet"_s});
    if (!server.waitForStarted() || !server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the server does not start\n");
        return 2;
    }
    const QByteArray line = server.readLine().trimmed();
    const auto port = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());

    std::printf("median of %d runs; peak RSS is the worker process's largest (ru_maxrss); wall time includes "
                "the process start\n",
                runs);
    Measure("one-line text (baseline)", text, port, runs);
    Measure("100-page PDF", pdf, port, runs);
    Measure("DOCX", docx, port, runs);
    server.terminate();
    server.waitForFinished();
    return 0;
}
