// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

/// The program's two-letter code for `language`: mostly ISO 639-1, but
/// Chinese is "cn", Japanese "jp" and Korean "kr". Languages without a
/// code of their own give "en".
QString LanguageCodeFor(QLocale::Language language);
