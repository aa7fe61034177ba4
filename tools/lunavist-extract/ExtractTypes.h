// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <exception>

/// Bounds that keep a hostile document from taking unbounded memory or time.
struct TExtractLimits {
    /// Entries a zip package may list.
    qint64 MaxZipEntries = 10000;
    /// Bytes unpacked from a zip package, summed over every part read.
    qint64 MaxUnpackedBytes = qint64(1) << 30;
    /// Unpacked bytes per packed byte of one part, checked once the part has
    /// given MinRatioCheckBytes: real documents stay far below it, a zip bomb
    /// far above.
    qint64 MaxUnpackRatio = 200;
    qint64 MinRatioCheckBytes = qint64(4) << 20;
    /// Open elements of an XML document or part, open groups of an RTF
    /// document. (The HTML reader keeps no stack, so nesting costs it
    /// nothing.)
    int MaxNesting = 256;
    /// Levels of a mail's MIME tree (multipart parts and attached messages).
    int MaxMimeNesting = 16;
};

enum class TExtractStatus {
    esText,        ///< the text was extracted (it may be empty)
    esUnsupported, ///< a kind of document this program does not read
    esUnparseable, ///< a kind it reads, but this document is broken or too big
};

struct TExtractResult {
    TExtractStatus Status = TExtractStatus::esText;
    /// The document's plain text when Status is esText.
    QString Text;
    /// Why not, in English, when Status is not esText.
    QString Reason;
};

/// Thrown by a format's reader when the document cannot be read; the
/// reason is plain English for the server's log and error answers.
class TExtractFailure : public std::exception {
public:
    explicit TExtractFailure(const QString &reason) : FReason(reason), FUtf8(reason.toUtf8()) {}
    const QString &Reason() const noexcept { return FReason; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FReason;
    QByteArray FUtf8;
};
