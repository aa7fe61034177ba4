// SPDX-License-Identifier: GPL-3.0-or-later
// Writing one side, with its merges and edits, to a file the user chooses.
#include "ComparisonSession.h"

#include "Prompts.h"
#include "TextEncoding.h"
#include "TextFormat.h"
#include "translation.h"

using namespace Qt::StringLiterals;

namespace {

// How many characters of `lines` `encoding` would write as '?'; stops
// counting at the first line that has any.
qsizetype UnwritableCharacters(const QStringList &lines, const TEncoding &encoding)
{
    for (const QString &line : lines) {
        qsizetype replaced = 0;
        encoding.GetBytes(line, replaced);
        if (replaced > 0)
            return replaced;
    }
    return 0;
}

} // namespace

void TComparisonSession::btnSaveLeftClick(const QString &pathBoxText)
{
    SaveSide(sdLeft, pathBoxText);
}

void TComparisonSession::btnSaveRightClick(const QString &pathBoxText)
{
    SaveSide(sdRight, pathBoxText);
}

void TComparisonSession::SaveSide(TSide side, const QString &pathBoxText)
{
    if (FFolderMode) {
        FPrompts.Information(Translate(u"Save is not available in folder comparison mode."_s));
        return;
    }
    RequireLoadedFiles();

    const bool left = side == sdLeft;
    // The dialog splits the proposal into its folder and its file name.
    const QString path = FPrompts.SaveFile(
        left ? Translate(u"Save Left Text As..."_s) : Translate(u"Save Right Text As..."_s), pathBoxText);
    if (path.isEmpty())
        return;

    const TEncoding &encoding = EncodingForSave(left ? *FLeftEncoding : *FRightEncoding,
                                                left ? FLeftHasBOM : FRightHasBOM, *FUtf8NoBOM);
    const QString &encodingName = left ? FLeftEncName : FRightEncName;
    const QStringList &lines = Lines(side);
    // A character the file's encoding cannot hold would silently become '?'.
    if (UnwritableCharacters(lines, encoding) > 0
        && !FPrompts.Confirm(FormatText(Translate(u"Some characters cannot be written in the file's "
                                                  "encoding (%s) and would be saved as '?'."_s),
                                        {encodingName})
                             + u"\r\n"_s + Translate(u"Save anyway?"_s)))
        return;

    SaveTextFile(lines, path, encoding, left ? FLeftLineBreaks : FRightLineBreaks);
    // Only a file written completely counts as saved.
    FUnsavedChanges = false;
    Q_EMIT StatusChanged(FormatText(
        left ? Translate(u"Left file saved as %s."_s) : Translate(u"Right file saved as %s."_s),
        {encodingName}));
}
