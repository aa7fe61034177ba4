// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserError.h"

using namespace Qt::StringLiterals;

TUserError::TUserError(const QString &message)
    : m_message(message), m_utf8(message.toUtf8())
{
}

QString FormatUserText(const QString &pattern, const QStringList &args)
{
    static const QString placeholder = u"%s"_s;
    QString result;
    result.reserve(pattern.size());
    qsizetype from = 0;
    for (const QString &arg : args) {
        const qsizetype at = pattern.indexOf(placeholder, from);
        if (at < 0)
            break;
        result += QStringView(pattern).sliced(from, at - from);
        result += arg;
        from = at + placeholder.size();
    }
    result += QStringView(pattern).sliced(from);
    return result;
}
