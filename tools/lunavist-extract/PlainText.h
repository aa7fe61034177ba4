// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// A text file's text, decoded exactly as the comparison of text files
/// decodes it (byte-order mark, else ASCII, UTF-8 or the 8-bit code page),
/// with its line breaks as they are. Throws TExtractFailure for bytes that
/// look like UTF-8 but are not strictly so.
QString ExtractPlainText(QByteArrayView bytes);
