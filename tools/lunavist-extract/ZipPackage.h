// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExtractTypes.h"
#include "XmlTokens.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

struct zip;

/// A zip package (an Office Open XML or OpenDocument file) read from memory
/// under the limits: a package that lists too many entries is refused before
/// its directory is read, and parts are unpacked piece by piece with the
/// unpacked bytes counted, so a zip bomb fails after a few megabytes.
/// Part names are matched without regard to case, as the packages'
/// conventions ask.
class TZipPackage {
public:
    /// `bytes` must outlive the package. Throws TExtractFailure when the
    /// bytes are no readable zip or list more entries than allowed.
    TZipPackage(QByteArrayView bytes, const TExtractLimits &limits);
    ~TZipPackage();
    TZipPackage(const TZipPackage &) = delete;
    TZipPackage &operator=(const TZipPackage &) = delete;

    bool Contains(const QString &partName) const;
    /// The part's bytes, at most `maxBytes` of them (for small parts such as
    /// "mimetype"). Throws TExtractFailure when it is missing, unreadable or
    /// over a limit.
    QByteArray ReadPart(const QString &partName, qsizetype maxBytes);
    /// The part as XML tokens, unpacked as they are read. Throws as ReadPart.
    std::unique_ptr<TXmlTokens> OpenXml(const QString &partName);

private:
    class TPartReader;
    std::unique_ptr<TPartReader> OpenPart(const QString &partName);
    /// Throws when `total` bytes unpacked from the package, or a part's
    /// `partUnpacked` bytes from its `partPacked`, break a limit.
    void CheckUnpacked(const QString &partName, qint64 total, qint64 partUnpacked, qint64 partPacked) const;

    const TExtractLimits FLimits;
    ::zip *FZip = nullptr;
    qint64 FUnpacked = 0;
};

/// The name of the part `target` points to from a part in `sourceFolder`
/// ("word/" for "word/document.xml"): relative targets are resolved, ".."
/// steps applied, a leading "/" means the package root. Empty when the
/// target leaves the package.
QString ResolvePartName(const QString &sourceFolder, const QString &target);
