// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// Fills a translated pattern that keeps the printf-style placeholders of
/// the English text. Each directive ('%', optional flags "-+#0", optional
/// width digits, optional '.' and precision digits, then one of the
/// conversion letters "diouxXeEfFgGaAcsp") is replaced, left to right, by
/// the next of `args` as it stands: callers format numbers themselves, so
/// flags, width and precision are not applied here. "%%" gives one '%'.
/// The space flag is not taken, so a '%' before a blank ("100% sure")
/// stays text, as does any '%' that starts no directive. A directive left
/// over when `args` run out stays as written; surplus `args` are ignored.
QString FormatText(const QString &pattern, const QStringList &args);
