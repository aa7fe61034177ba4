// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextFormat.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the directive that starts with the '%' at `at`, or 0 when the
// text there is no directive.
qsizetype DirectiveLength(QStringView pattern, qsizetype at)
{
    static const QString flags = u"-+#0"_s;
    static const QString conversions = u"diouxXeEfFgGaAcsp"_s;
    qsizetype i = at + 1;
    while (i < pattern.size() && flags.contains(pattern[i]))
        ++i;
    while (i < pattern.size() && IsDigit(pattern[i]))
        ++i;
    if (i < pattern.size() && pattern[i] == u'.') {
        ++i;
        while (i < pattern.size() && IsDigit(pattern[i]))
            ++i;
    }
    if (i < pattern.size() && conversions.contains(pattern[i]))
        return i + 1 - at;
    return 0;
}

} // namespace

QString FormatText(const QString &pattern, const QStringList &args)
{
    const QStringView text(pattern);
    QString result;
    result.reserve(pattern.size());
    qsizetype nextArg = 0;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(u'%'); at >= 0; at = text.indexOf(u'%', from)) {
        result += text.sliced(from, at - from);
        if (at + 1 < text.size() && text[at + 1] == u'%') {
            result += u'%';
            from = at + 2;
            continue;
        }
        const qsizetype length = DirectiveLength(text, at);
        if (length > 0 && nextArg < args.size())
            result += args[nextArg++];
        else
            result += text.sliced(at, std::max<qsizetype>(length, 1));
        from = at + std::max<qsizetype>(length, 1);
    }
    result += text.sliced(from);
    return result;
}
