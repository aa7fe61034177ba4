// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of sending a large document to the extraction service: the
// body must stream from the file, so the peak should grow by far less than
// the document's size. Usage: bench_extraction [megabytes, default 200]

#include "ExtractionClient.h"
#include "ExtractionTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The process's peak resident memory so far, in KiB.
long PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.bin"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        QByteArray block(1024 * 1024, 'x');
        for (qint64 i = 0; i < megabytes; ++i) {
            block[0] = char(i);
            file.write(block);
        }
    }

    TExtractionTestServer server;
    server.KeepBodies = false; // count and hash what arrives, keep nothing
    server.AnswerBody = "extracted text\n";

    const long before = PeakResidentKiB();
    QElapsedTimer clock;
    clock.start();
    const TExtractionResult result = ExtractDocumentText(path, QStringLiteral("127.0.0.1"), server.Port());
    const qint64 ms = clock.elapsed();
    const long after = PeakResidentKiB();

    const qint64 received = server.Requests.isEmpty() ? -1 : server.Requests.first().BodySize;
    std::printf("document: %lld MiB, received by the server: %lld bytes, success: %s\n", megabytes,
                static_cast<long long>(received), result.Success ? "yes" : "no");
    std::printf("time: %lld ms (%.0f MiB/s)\n", static_cast<long long>(ms),
                ms > 0 ? double(megabytes) * 1000.0 / double(ms) : 0.0);
    std::printf("peak resident memory (VmHWM): %ld KiB before, %ld KiB after, growth %ld KiB\n", before, after,
                after - before);
    return result.Success && received == megabytes * 1024 * 1024 ? 0 : 1;
}
