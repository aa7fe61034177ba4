// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// True when the file name's last extension (from the last "." after the
/// last path separator), lower-cased in ASCII, is one of the document,
/// image, archive, media and binary formats sent to the extraction service.
/// ".tar.gz" matches through ".gz"; no extension never matches. The file is
/// not opened.
bool IsDocumentExtension(const QString &path);

/// The verdict of IsTextContent and the rule that decided it, as a short
/// English sentence (for diagnostics; not shown in the interface).
struct TTextContentCheck {
    bool IsText = false;
    QString Reason;
};

/// Tells text from binary by the file's first 4096 bytes: a missing file is
/// not text; an empty file, a byte-order mark, or well-formed-looking UTF-8
/// is text; a zero byte, or a control byte other than TAB, LF and CR, is
/// binary; anything else is 8-bit text. Throws CannotOpenFileError when the
/// file exists but cannot be opened or read.
TTextContentCheck IsTextContent(const QString &path);

/// IsTextContent's verdict for a file that starts with `firstBytes` (only
/// the first 4096 are examined; empty means an empty file).
TTextContentCheck IsTextBytes(QByteArrayView firstBytes);
