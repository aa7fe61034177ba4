// SPDX-License-Identifier: GPL-3.0-or-later
#include "translation.h"

#include "LanguageCode.h"
#include "TranslationCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QVariant>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct TTranslationState {
    TTranslationCatalogue Catalogue;
    QString Code;
    int Index = 0;
};

// Program-wide, touched only from the interface thread, so no lock.
TTranslationState &State()
{
    static TTranslationState state;
    return state;
}

std::optional<QString> StoredLanguageCode()
{
    const QSettings store(QSettings::UserScope, u"Lunavist"_s, u"Lunavist"_s);
    const QVariant value = store.value(u"CurrentLanguage"_s);
    // A value of another kind (a list, say) was not written by us: ignore it.
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

} // namespace

QString Translate(const QString &text)
{
    const TTranslationState &state = State();
    if (state.Index <= 0)
        return text;
    return state.Catalogue.Lookup(state.Index, text);
}

void SaveLanguageChoice()
{
    // A store that cannot be written is not reported: the choice then lasts
    // until the program ends.
    QSettings store(QSettings::UserScope, u"Lunavist"_s, u"Lunavist"_s);
    store.setValue(u"CurrentLanguage"_s, State().Code);
    store.sync();
}

void LoadTranslations()
{
    LoadTranslationsFrom(QCoreApplication::applicationDirPath());
}

void LoadTranslationsFrom(const QString &folder)
{
    TTranslationState &state = State();
    state.Catalogue = TTranslationCatalogue();
    state.Index = 0;
    state.Code = StoredLanguageCode().value_or(SystemLanguageCode());

    QFile file(QDir(folder).filePath(u"transl.dt"_s));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;

    TCatalogueParseResult parsed = ParseTranslationCatalogue(bytes);
    state.Catalogue = std::move(parsed.Catalogue);
    if (parsed.Complete)
        state.Index = std::max(0, state.Catalogue.IndexOfCode(state.Code));
}

QString SystemLanguageCode()
{
    return LanguageCodeFor(QLocale::system().language());
}

const TTranslationCatalogue &TranslationCatalogue()
{
    return State().Catalogue;
}

int CurrentLanguageIndex()
{
    return State().Index;
}

void SetCurrentLanguageIndex(int index)
{
    State().Index = index;
}

QString CurrentLanguageCode()
{
    return State().Code;
}

void SetCurrentLanguageCode(const QString &code)
{
    State().Code = code;
}
