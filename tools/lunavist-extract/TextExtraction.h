// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExtractTypes.h"

#include <QByteArrayView>

/// The plain text of a document given as its bytes, whatever its format
/// (detected from the bytes; see DetectFormat and DetectPackageFormat).
/// Images are esUnparseable (there is no character recognition); formats
/// this program does not read are esUnsupported; broken documents and
/// documents over a limit are esUnparseable with the reason. Never throws.
TExtractResult ExtractText(QByteArrayView bytes, const TExtractLimits &limits = {});
