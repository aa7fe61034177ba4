// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// The text of an Internet message (.eml): the text parts of its MIME tree
/// in order, each one section: text/plain as it stands, text/html as the
/// page shows (see ExtractHtmlText). Multipart parts and attached messages
/// are walked into; attachments and other types are left out. Bodies are
/// decoded from base64 and quoted-printable, then from their charset
/// (detected as for text files when none is named or it is unknown).
/// Throws TExtractFailure when the tree is deeper than `maxNesting`.
QString ExtractMailText(QByteArrayView bytes, int maxNesting);

/// Decodes quoted-printable bytes: "=XX" is the byte XX, "=" at the end of
/// a line joins it to the next; a malformed "=" stays as it is.
QByteArray DecodeQuotedPrintable(QByteArrayView bytes);
