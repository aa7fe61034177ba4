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
/// How long a whole call may take, answer included: a server that keeps
/// sending a trickle never lets the read time-out expire.
inline constexpr int DefaultExtractionTotalTimeoutMs = 5 * 60 * 1000;
/// The largest answer taken, in bytes of UTF-8 text; a longer one, or one
/// that announces a greater length, fails the call as it arrives.
inline constexpr qint64 DefaultExtractionMaxAnswerBytes = qint64(256) * 1024 * 1024;

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
/// which must have a Qt event loop, until the answer arrives, the server
/// sent nothing for `readTimeoutMs` milliseconds, the call has taken
/// `totalTimeoutMs` milliseconds, or the answer grew beyond `maxAnswerBytes`;
/// meanwhile it processes every event except user input, so windows repaint
/// but take no command. Failures: a file that cannot be opened (no request
/// is sent); a status outside 2xx, as "HTTP error (<code>): <reason
/// phrase>"; an answer cut short, too slow or too large, and any other error
/// (no server), as the translated "Error:" + " " + the message; an empty
/// answer, with an empty error text. No error leaves the call.
TExtractionResult ExtractDocumentText(const QString &path, const QString &host = DefaultExtractionHost,
                                      quint16 port = DefaultExtractionPort,
                                      int readTimeoutMs = DefaultExtractionReadTimeoutMs,
                                      int totalTimeoutMs = DefaultExtractionTotalTimeoutMs,
                                      qint64 maxAnswerBytes = DefaultExtractionMaxAnswerBytes);
