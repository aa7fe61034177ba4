// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// The text of a PDF document in reading order, page by page, each page one
/// section (pages are separated by one blank line; a page without text adds
/// nothing). Line ends are LF, trailing white space of a line is dropped.
/// Throws TExtractFailure when the document cannot be opened, is encrypted
/// with a password, or has no pages.
QString ExtractPdfText(QByteArrayView bytes);
