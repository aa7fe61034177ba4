// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QFileDevice>

/// Writes all of `bytes` to `file`; false when any part cannot be written.
/// A write cut short (file size limit, full disk) returns the part written
/// and sets no error; writing the rest then fails with the system's reason,
/// which `file.errorString()` holds afterwards.
bool WriteAll(QFileDevice &file, QByteArrayView bytes);
