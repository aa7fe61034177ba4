// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExtractCommand.h"

#include "TextExtraction.h"

#include <QFile>

#include <algorithm>

#include <cstdio>

namespace {

bool WriteAll(std::FILE *stream, const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size())
           && std::fflush(stream) == 0;
}

// Writes `text` in UTF-8 a piece at a time, so a long text is never held
// twice.
bool WriteUtf8(std::FILE *stream, QStringView text)
{
    constexpr qsizetype PieceSize = 1 << 20;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype size = std::min(PieceSize, text.size() - at);
        if (at + size < text.size() && text[at + size - 1].isHighSurrogate())
            ++size; // keep a surrogate pair together
        if (!WriteAll(stream, text.sliced(at, size).toUtf8()))
            return false;
        at += size;
    }
    return true;
}

} // namespace

int RunExtractCommand(const QString &path, const TExtractLimits &limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        WriteAll(stderr, "Cannot open " + path.toUtf8() + ": " + file.errorString().toUtf8() + '\n');
        return eeUsage;
    }
    // Mapped, not read: the readers see the whole document while the
    // system pages in only what they touch.
    const qint64 size = file.size();
    const uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    QByteArray read;
    if (size > 0 && !mapped) {
        read = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            WriteAll(stderr, "Cannot read " + path.toUtf8() + ": " + file.errorString().toUtf8() + '\n');
            return eeUsage;
        }
    }
    const QByteArrayView bytes =
        mapped ? QByteArrayView(reinterpret_cast<const char *>(mapped), qsizetype(size)) : QByteArrayView(read);

    const TExtractResult result = ExtractText(bytes, limits);
    switch (result.Status) {
    case TExtractStatus::esText:
        return WriteUtf8(stdout, result.Text) ? eeText : eeUsage;
    case TExtractStatus::esUnsupported:
        WriteAll(stderr, result.Reason.toUtf8() + '\n');
        return eeUnsupported;
    case TExtractStatus::esUnparseable:
        WriteAll(stderr, result.Reason.toUtf8() + '\n');
        return eeUnparseable;
    }
    return eeUnparseable;
}
