// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TTranslationCatalogue;

/// Returns the text to show for the English text `text` in the current
/// interface language; the text itself when no catalogue column is chosen
/// or the entry has no translation. Never fails.
QString Translate(const QString &text);

/// Chooses the language and loads the catalogue "transl.dt" that lies
/// beside the program file. Call once at start-up, before any window.
/// Never fails: a missing or malformed catalogue leaves index 0.
void LoadTranslations();

/// As LoadTranslations, with the catalogue read from `folder`. The code is
/// the per-user stored `CurrentLanguage` if it is a text, else the system's;
/// the index is the catalogue column with that code (letter case ignored),
/// 0 when there is none or the catalogue could not be read completely.
/// Replaces any catalogue loaded before.
void LoadTranslationsFrom(const QString &folder);

/// The program's code for the system's interface language; "en" for a
/// language it has no code for.
QString SystemLanguageCode();

/// The loaded catalogue; empty before loading or when there is no file.
/// Whatever a failed load had read stays, so use its bounds-safe accessors.
const TTranslationCatalogue &TranslationCatalogue();

/// The catalogue column in use; 0 (or less) shows the program's own texts.
int CurrentLanguageIndex();
void SetCurrentLanguageIndex(int index);

/// The chosen language code, such as "de"; it may name no catalogue column.
QString CurrentLanguageCode();

/// Writes the current language code to the per-user store (value
/// CurrentLanguage), read by the next start. Failures are silent.
void SaveLanguageChoice();
void SetCurrentLanguageCode(const QString &code);
