// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: renders the program icon's SVG at the square sizes of the
// icon theme, for panels and menus that do not draw SVG themselves.
//
//   lunavist_render_icon SVG OUTPUT_FOLDER SIZE...
//
// writes OUTPUT_FOLDER/<size>x<size>/<name of the SVG>.png for each size.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int Fail(const QString &message)
{
    std::fprintf(stderr, "lunavist_render_icon: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4)
        return Fail(u"usage: lunavist_render_icon SVG OUTPUT_FOLDER SIZE..."_s);
    const QString svgPath = QString::fromLocal8Bit(argv[1]);
    const QDir output(QString::fromLocal8Bit(argv[2]));
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return Fail(u"cannot read "_s + svgPath);
    const QString fileName = QFileInfo(svgPath).completeBaseName() + u".png"_s;

    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0)
            return Fail(u"not a size: "_s + QString::fromLocal8Bit(argv[i]));
        // Drawn afresh at each size, never scaled from another picture.
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = u"%1x%1"_s.arg(size);
        if (!output.mkpath(folder))
            return Fail(u"cannot create "_s + output.filePath(folder));
        const QString pngPath = output.filePath(folder + u'/' + fileName);
        if (!image.save(pngPath, "PNG"))
            return Fail(u"cannot write "_s + pngPath);
    }
    return 0;
}
