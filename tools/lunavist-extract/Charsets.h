// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// Decodes `bytes` in the character set a document names (a MIME charset,
/// an HTML meta charset, an RTF code page such as "windows-1251"). A
/// byte-order mark wins over the name. Without a name, or with one this
/// system does not know, the encoding is detected as for a text file: UTF-8
/// when the bytes are well-formed UTF-8, else the 8-bit code page. Never
/// fails: bytes that do not decode become U+FFFD.
QString DecodeCharset(QByteArrayView bytes, QByteArrayView charsetName);
