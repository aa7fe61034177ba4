// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DiffEngine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

/// One side of a comparison as the report needs it.
struct TReportSide {
    QString EncodingName;
    QStringList Lines;
};

/// Writes the tab-separated report of `rows` to `out`: a header line per
/// side, then one line per row. With `highlight`, changed rows carry the
/// word ranges of each cell (`ignoreCase` as the comparison's), other rows
/// "-" "-". Written a piece at a time, so a long report is never held whole.
void WriteDiffReport(std::FILE *out, const TReportSide &left, const TReportSide &right, const TDiffItems &rows,
                     bool highlight, bool ignoreCase);

/// The name of a row kind as the report prints it, e.g. "dkEqual".
QByteArray DiffKindName(TDiffKind kind);
