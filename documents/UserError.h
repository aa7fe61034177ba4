// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

/// An error that ends the current command and whose text is shown to the
/// user as it stands (already translated). Commands let it propagate to the
/// one top-level handler.
class TUserError : public std::exception {
public:
    explicit TUserError(const QString &message);

    /// The translated text for the error box.
    const QString &Message() const noexcept { return m_message; }
    /// The same text in UTF-8, for logs and test output.
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
