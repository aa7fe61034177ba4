// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserError.h"

TUserError::TUserError(const QString &message)
    : m_message(message), m_utf8(message.toUtf8())
{
}
