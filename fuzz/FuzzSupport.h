// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDebug>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: a reader that takes the generator's choices
// from the front of the input, and a check that ends the run with a report.

/// Ends the run (libFuzzer saves the input) when `ok` is false.
#define FUZZ_CHECK(ok, ...)                                                                                        \
    do {                                                                                                           \
        if (!(ok)) {                                                                                               \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #ok, __FILE__, __LINE__);                           \
            qWarning().noquote() << __VA_ARGS__;                                                                   \
            std::abort();                                                                                          \
        }                                                                                                          \
    } while (false)

/// The fuzz input taken apart from its front; past the end every choice is 0.
class TFuzzInput
{
public:
    TFuzzInput(const std::uint8_t *data, std::size_t size)
        : FBytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
    }

    /// One byte as a choice, 0 past the end.
    std::uint8_t Byte()
    {
        if (FBytes.isEmpty())
            return 0;
        const auto b = std::uint8_t(FBytes.front());
        FBytes = FBytes.sliced(1);
        return b;
    }

    /// The next `count` bytes, fewer near the end.
    QByteArrayView Take(qsizetype count)
    {
        const QByteArrayView taken = FBytes.first(std::min(count, FBytes.size()));
        FBytes = FBytes.sliced(taken.size());
        return taken;
    }

    /// Everything not taken yet.
    QByteArrayView Rest() const { return FBytes; }

private:
    QByteArrayView FBytes;
};

/// Short text for reports: the first 200 units, escaped.
inline QString Shown(const QString &text)
{
    QString shown;
    for (QChar c : QStringView(text).first(std::min<qsizetype>(text.size(), 200))) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            shown += c;
        else
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return shown;
}
