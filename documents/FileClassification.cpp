// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileClassification.h"

#include "TextFile.h"
#include "Utf8.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 ExaminedBytes = 4096;

const QSet<QString> &DocumentExtensions()
{
    static const QSet<QString> extensions = {
        u".docx"_s, u".xlsx"_s, u".pptx"_s, u".doc"_s, u".xls"_s, u".ppt"_s,
        u".pdf"_s, u".jpg"_s, u".jpeg"_s, u".png"_s, u".gif"_s, u".bmp"_s,
        u".tif"_s, u".tiff"_s, u".webp"_s, u".ico"_s, u".zip"_s, u".rar"_s,
        u".7z"_s, u".tar"_s, u".gz"_s, u".mp3"_s, u".wav"_s, u".ogg"_s,
        u".flac"_s, u".mp4"_s, u".avi"_s, u".mkv"_s, u".mov"_s, u".exe"_s,
        u".dll"_s, u".bin"_s, u".ttf"_s, u".otf"_s, u".woff"_s, u".woff2"_s,
        u".psd"_s, u".ai"_s, u".dwg"_s, u".mdb"_s, u".accdb"_s, u".sqlite"_s,
        u".eml"_s, u".msg"_s,
    };
    return extensions;
}

} // namespace

bool IsDocumentExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    QString extension = name.sliced(dot);
    // ASCII only, so no locale turns a capital I into a dotless i.
    for (QChar &c : extension) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return DocumentExtensions().contains(extension);
}

TTextContentCheck IsTextContent(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {false, u"File does not exist."_s};

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CannotOpenFileError(path, file.errorString());
    const QByteArray bytes = file.read(ExaminedBytes);
    if (file.error() != QFileDevice::NoError)
        throw CannotOpenFileError(path, file.errorString());
    file.close();
    return IsTextBytes(bytes);
}

TTextContentCheck IsTextBytes(QByteArrayView firstBytes)
{
    const QByteArrayView bytes = firstBytes.first(std::min<qsizetype>(firstBytes.size(), ExaminedBytes));
    if (bytes.isEmpty())
        return {true, u"Empty file."_s};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {true, u"UTF-8 BOM detected."_s};
    if (bytes.startsWith("\xFF\xFE"))
        return {true, u"UTF-16 LE BOM detected."_s};
    if (bytes.startsWith("\xFE\xFF"))
        return {true, u"UTF-16 BE BOM detected."_s};
    if (bytes.contains('\0'))
        return {false, u"Contains null bytes -> binary."_s};
    if (IsValidUtf8(bytes))
        return {true, u"Valid UTF-8 (no BOM)."_s};
    const auto control = std::find_if(bytes.begin(), bytes.end(), [](char b) {
        return static_cast<unsigned char>(b) < 0x20 && b != '\t' && b != '\n' && b != '\r';
    });
    if (control != bytes.end()) {
        const QString hex = u"%1"_s.arg(uint(static_cast<unsigned char>(*control)), 2, 16, QChar(u'0')).toUpper();
        return {false, u"Control byte $%1 detected ? binary."_s.arg(hex)};
    }
    return {true, u"ANSI text (no binary sequences detected)."_s};
}
