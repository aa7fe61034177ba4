// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsRecord.h"

#include <QtEndian>

namespace {

class TWriter
{
public:
    void Int(std::int32_t value)
    {
        char bytes[4];
        qToLittleEndian(value, bytes);
        FBytes.append(bytes, 4);
    }
    void Color(std::uint32_t value) { Int(std::int32_t(value)); }
    void Bool(bool value) { FBytes.append(value ? '\1' : '\0'); }
    void String(const QString &value)
    {
        Int(std::int32_t(value.size()));
        for (const QChar c : value) {
            char bytes[2];
            qToLittleEndian(c.unicode(), bytes);
            FBytes.append(bytes, 2);
        }
    }
    void Strings(const QStringList &values)
    {
        Int(std::int32_t(values.size()));
        for (const QString &value : values)
            String(value);
    }
    QByteArray Bytes() const { return FBytes; }

private:
    QByteArray FBytes;
};

// Reads values from the front of the bytes; each read returns false, and
// consumes nothing, when the bytes that remain cannot supply the value.
class TReader
{
public:
    explicit TReader(const QByteArray &bytes)
        : FBytes(bytes)
    {
    }
    bool Int(std::int32_t &value)
    {
        if (Remaining() < 4)
            return false;
        value = qFromLittleEndian<std::int32_t>(FBytes.constData() + FPos);
        FPos += 4;
        return true;
    }
    bool Color(std::uint32_t &value)
    {
        std::int32_t raw = 0;
        if (!Int(raw))
            return false;
        value = std::uint32_t(raw);
        return true;
    }
    bool Bool(bool &value)
    {
        if (Remaining() < 1)
            return false;
        value = FBytes.at(FPos) != '\0';
        FPos += 1;
        return true;
    }
    bool String(QString &value)
    {
        const qsizetype start = FPos;
        std::int32_t length = 0;
        if (!Int(length))
            return false;
        if (length <= 0) {
            value.clear();
            return true;
        }
        // Checked before anything is allocated: a garbage length fails here.
        if (Remaining() / 2 < length) {
            FPos = start;
            return false;
        }
        QString text(length, Qt::Uninitialized);
        for (std::int32_t i = 0; i < length; ++i)
            text[i] = QChar(qFromLittleEndian<char16_t>(FBytes.constData() + FPos + 2 * qsizetype(i)));
        FPos += 2 * qsizetype(length);
        value = std::move(text);
        return true;
    }

private:
    qsizetype Remaining() const { return FBytes.size() - FPos; }

    const QByteArray &FBytes;
    qsizetype FPos = 0;
};

// The history fields: the count, then the entries. The list is replaced
// once the count is read; a cut keeps the entries read before it.
TSettingsField ReadHistory(TReader &in, QStringList &history, TSettingsField countField)
{
    std::int32_t count = 0;
    if (!in.Int(count))
        return TSettingsField(countField - 1);
    history.clear();
    // No reserve(count): the count is not trusted, every entry is read first.
    for (std::int32_t i = 0; i < count; ++i) {
        QString entry;
        if (!in.String(entry))
            return countField;
        history.append(entry);
    }
    return TSettingsField(countField + 1);
}

} // namespace

QByteArray WriteSettingsRecord(const TSettingsRecord &record)
{
    TWriter out;
    out.Int(1);
    out.String(record.LeftDialogFolder);
    out.String(record.RightDialogFolder);
    out.Bool(record.IgnoreWhitespace);
    out.Bool(record.IgnoreWSAmount);
    out.Bool(record.IgnoreLeadingWS);
    out.Bool(record.IgnoreTrailingWS);
    out.Bool(record.IgnoreBlankLines);
    out.Bool(record.IgnoreCase);
    out.Bool(record.ShowLineNumbers);
    out.Bool(record.ShowGridLines);
    out.Color(record.GridFontColor);
    out.Int(record.GridFontSize);
    out.String(record.GridFontName);
    out.Color(record.ColorAddedLines);
    out.Color(record.ColorRemovedLines);
    out.Color(record.ColorChangedLines);
    out.Color(record.ColorDifferentTextInLine);
    out.Strings(record.LeftHistory);
    out.Strings(record.RightHistory);
    out.Bool(record.Maximized);
    out.Int(record.WindowLeft);
    out.Int(record.WindowTop);
    out.Int(record.WindowWidth);
    out.Int(record.WindowHeight);
    out.Int(record.LeftColumnWidth);
    out.Int(record.RightColumnWidth);
    return out.Bytes();
}

TSettingsField ReadSettingsRecord(const QByteArray &bytes, TSettingsRecord &record)
{
    TReader in(bytes);
    std::int32_t header = 0;
    if (!in.Int(header))
        return sfNone;
    if (!in.String(record.LeftDialogFolder))
        return sfHeader;
    if (!in.String(record.RightDialogFolder))
        return sfLeftDialogFolder;

    bool *const flags[] = {&record.IgnoreWhitespace, &record.IgnoreWSAmount, &record.IgnoreLeadingWS,
                           &record.IgnoreTrailingWS, &record.IgnoreBlankLines, &record.IgnoreCase,
                           &record.ShowLineNumbers,  &record.ShowGridLines};
    TSettingsField field = sfRightDialogFolder;
    for (bool *flag : flags) {
        if (!in.Bool(*flag))
            return field;
        field = TSettingsField(field + 1);
    }

    if (!in.Color(record.GridFontColor))
        return sfShowGridLines;
    std::int32_t size = 0;
    if (!in.Int(size) || size < 1)
        return sfGridFontColor;
    record.GridFontSize = size;
    if (!in.String(record.GridFontName))
        return sfGridFontSize;

    std::uint32_t *const colors[] = {&record.ColorAddedLines, &record.ColorRemovedLines, &record.ColorChangedLines,
                                     &record.ColorDifferentTextInLine};
    field = sfGridFontName;
    for (std::uint32_t *color : colors) {
        if (!in.Color(*color))
            return field;
        field = TSettingsField(field + 1);
    }

    field = ReadHistory(in, record.LeftHistory, sfLeftHistoryCount);
    if (field != sfLeftHistory)
        return field;
    field = ReadHistory(in, record.RightHistory, sfRightHistoryCount);
    if (field != sfRightHistory)
        return field;

    if (!in.Bool(record.Maximized))
        return sfRightHistory;
    std::int32_t bounds[4] = {};
    for (std::int32_t &value : bounds)
        if (!in.Int(value))
            return sfMaximized;
    record.WindowLeft = bounds[0];
    record.WindowTop = bounds[1];
    record.WindowWidth = bounds[2];
    record.WindowHeight = bounds[3];

    if (!in.Int(record.LeftColumnWidth))
        return sfWindowHeight;
    if (!in.Int(record.RightColumnWidth))
        return sfLeftColumnWidth;
    return sfRightColumnWidth;
}
