// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QNetworkRequest>
#include <QString>

class QNetworkReply;

/// A GET request to the maker's site with the User-Agent its server expects.
QNetworkRequest UpdateRequest(const QString &baseAddress, const QString &path);

/// Why a finished reply failed: "HTTP error (code): reason" for a status
/// outside 200..299, else the client's own text; empty when it succeeded.
QString HttpFailureText(const QNetworkReply &reply);
