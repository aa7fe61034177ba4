// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#include <memory>

/// Where the text extraction server listens by default, and how long a call
/// waits without receiving a byte before it gives up.
inline const QString DefaultExtractionHost = QStringLiteral("127.0.0.1");
inline constexpr quint16 DefaultExtractionPort = 9998;
inline constexpr int DefaultExtractionReadTimeoutMs = 30000;

/// What ExtractDocumentText returns. On success Text is non-empty and
/// ErrorText empty; on failure Text is empty and ErrorText says why (empty
/// when the server answered with no text at all).
struct TExtractionResult {
    bool Success = false;
    QString Text;
    QString ErrorText;
};

/// Opens `path` for reading only, without keeping other processes from
/// reading or writing it. Returns the open file, or nullptr with `errorText`
/// set to "EFOpenError: " + the translated "Cannot open file ..." text with
/// the system's reason; `errorText` is cleared on success. Never throws a
/// file error.
std::unique_ptr<QFile> OpenFileForUpload(const QString &path, QString &errorText);

/// Sends the bytes of `path`, streamed from the file, to the extraction
/// server (`PUT /tika` on `host`:`port`) and returns its plain-text answer
/// decoded as UTF-8 (invalid bytes become U+FFFD). Blocks the calling thread,
/// which must have a Qt event loop, until the answer arrives or the server
/// sent nothing for `readTimeoutMs` milliseconds; meanwhile it processes
/// every event except user input, so windows repaint but take no command.
/// Failures: a file that cannot be opened (no request is sent); a status
/// outside 2xx, as "HTTP error (<code>): <reason phrase>"; any other error
/// (no server, time-out) as the translated "Error:" + " " + the message;
/// an empty answer, with an empty error text. No error leaves the call
/// (except running out of memory for the answer).
TExtractionResult ExtractDocumentText(const QString &path, const QString &host = DefaultExtractionHost,
                                      quint16 port = DefaultExtractionPort,
                                      int readTimeoutMs = DefaultExtractionReadTimeoutMs);
