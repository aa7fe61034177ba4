// SPDX-License-Identifier: GPL-3.0-or-later
// lunavist-extract: a local text-extraction server for Lunavist's document
// comparison, and the command that extracts one file for it.

#include "ExtractCommand.h"
#include "ExtractServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int Fail(const QString &message)
{
    std::fprintf(stderr, "lunavist-extract: %s\n", message.toUtf8().constData());
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"lunavist-extract"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"A text extraction server on 127.0.0.1. PUT a document's bytes to /tika and receive its plain text "
        "in UTF-8: PDF, DOCX, XLSX, PPTX, ODT, ODS, ODP, RTF, HTML, XML, EML and plain text, detected from "
        "the bytes. Answers 415 for other types, 422 for documents it cannot read, 413 above the size limit."_s);
    parser.addHelpOption();
    const QCommandLineOption port(u"port"_s, u"Listen on <port> (default 9998; 0 picks a free one)."_s, u"port"_s,
                                  u"9998"_s);
    const QCommandLineOption maxBytes(u"max-bytes"_s,
                                      u"Refuse documents larger than <bytes> (default 536870912, 512 MB)."_s,
                                      u"bytes"_s, u"536870912"_s);
    const QCommandLineOption timeout(u"timeout"_s,
                                     u"Seconds a client may take to send a request's head, or pause in its "
                                     "body (default 30)."_s,
                                     u"seconds"_s, u"30"_s);
    const QCommandLineOption timeLimit(u"time-limit"_s,
                                       u"Seconds one document's extraction may take (default 120)."_s,
                                       u"seconds"_s, u"120"_s);
    const QCommandLineOption extract(u"extract"_s,
                                     u"Print the text of <file> and exit instead of serving (exit status 0 text, "
                                     "3 type not read, 4 document not readable)."_s,
                                     u"file"_s);
    const QCommandLineOption quiet(u"quiet"_s, u"Do not log requests on standard error."_s);
    parser.addOptions({port, maxBytes, timeout, timeLimit, extract, quiet});
    parser.process(app);

    if (parser.isSet(extract))
        return RunExtractCommand(parser.value(extract));

    bool ok = false;
    TExtractServerSettings settings;
    const uint portValue = parser.value(port).toUInt(&ok);
    if (!ok || portValue > 65535)
        return Fail(u"--port needs a number from 0 to 65535."_s);
    settings.Port = quint16(portValue);
    settings.MaxBodyBytes = parser.value(maxBytes).toLongLong(&ok);
    if (!ok || settings.MaxBodyBytes < 0)
        return Fail(u"--max-bytes needs a number of bytes."_s);
    const double timeoutSeconds = parser.value(timeout).toDouble(&ok);
    if (!ok || timeoutSeconds <= 0 || timeoutSeconds > 86400)
        return Fail(u"--timeout needs a number of seconds."_s);
    settings.ReadTimeoutMs = int(timeoutSeconds * 1000);
    settings.IdleTimeoutMs = std::max(settings.IdleTimeoutMs, settings.ReadTimeoutMs);
    const double limitSeconds = parser.value(timeLimit).toDouble(&ok);
    if (!ok || limitSeconds <= 0 || limitSeconds > 86400)
        return Fail(u"--time-limit needs a number of seconds."_s);
    settings.ExtractTimeLimitMs = int(limitSeconds * 1000);
    settings.MaxWorkers = std::max(2, QThread::idealThreadCount());
    settings.WorkerProgram = QCoreApplication::applicationFilePath();
    settings.Log = !parser.isSet(quiet);

    TExtractServer server(settings);
    if (!server.Listen())
        return Fail(u"cannot listen on 127.0.0.1:%1: %2"_s.arg(QString::number(settings.Port), server.ErrorString()));
    // Scripts and tests that asked for port 0 learn the port here.
    std::printf("lunavist-extract listening on 127.0.0.1:%u\n", unsigned(server.Port()));
    std::fflush(stdout);
    return app.exec();
}
