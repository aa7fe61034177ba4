// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

/// The text an HTML page shows, laid out as TTextBuilder does: block
/// elements (p, div, headings, list items, title, ...) are lines, <br> ends
/// a line, a row of the outermost tables is one line of tab-separated cells
/// (nested tables flattened into their cell). Runs of white space are one
/// space except inside <pre>; entities are decoded (named ones of HTML 4,
/// numeric ones); scripts, styles, templates and comments are dropped. Any
/// input gives a result: the reader is as forgiving as a browser.
QString ExtractHtmlText(QStringView html);

/// The same for a page given as bytes: decoded by its byte-order mark, else
/// by the charset its <meta> or XML declaration names, else as detected
/// for a text file.
QString ExtractHtmlText(QByteArrayView bytes);
