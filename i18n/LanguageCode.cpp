// SPDX-License-Identifier: GPL-3.0-or-later
#include "LanguageCode.h"

using namespace Qt::StringLiterals;

QString LanguageCodeFor(QLocale::Language language)
{
    switch (language) {
    case QLocale::Arabic: return u"ar"_s;
    case QLocale::Chinese: return u"cn"_s;
    case QLocale::Czech: return u"cs"_s;
    case QLocale::German: return u"de"_s;
    case QLocale::Greek: return u"el"_s;
    case QLocale::Spanish: return u"es"_s;
    case QLocale::French: return u"fr"_s;
    case QLocale::Hungarian: return u"hu"_s;
    case QLocale::Italian: return u"it"_s;
    case QLocale::Japanese: return u"jp"_s;
    case QLocale::Korean: return u"kr"_s;
    case QLocale::Dutch: return u"nl"_s;
    case QLocale::Polish: return u"pl"_s;
    case QLocale::Portuguese: return u"pt"_s;
    case QLocale::Turkish: return u"tr"_s;
    default: return u"en"_s;
    }
}
