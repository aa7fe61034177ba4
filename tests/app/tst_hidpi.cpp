// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a screen at 200 %: icons drawn from their SVG at the
// screen's resolution, the grid's pixel sizes doubled with everything else.

#include "DiffGrid.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "translation.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal kScale = 2;

// Largest difference of any channel of any pixel; -1 for different sizes.
int Difference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int most = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            for (const int shift : {0, 8, 16, 24})
                most = std::max(most, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
        }
    }
    return most;
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT

public:
    // Before the application exists: the whole program at 200 %.
    static void initMain() { qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale)); }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void iconsAreDrawnFromTheirSvgAtTheScreensScale();
    void theGridDoublesItsPixelsWithEverythingElse();

private:
    std::unique_ptr<TScriptedPrompts> FPrompts;
    std::unique_ptr<TfrmMain> FWindow;
    QTemporaryDir FDir;
};

void TestHiDpi::initTestCase()
{
    QVERIFY(FDir.isValid());
    qputenv("APPDATA", FDir.filePath(u"appdata"_s).toLocal8Bit()); // the window's settings file
    QStandardPaths::setTestModeEnabled(true);
    SetCurrentLanguageIndex(0);
    QCOMPARE(qApp->devicePixelRatio(), kScale);
}

void TestHiDpi::init()
{
    FPrompts = std::make_unique<TScriptedPrompts>();
    FWindow = std::make_unique<TfrmMain>(*FPrompts);
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

void TestHiDpi::cleanup()
{
    QTRY_VERIFY(!FWindow->Session().DiffRecomputeInProgress());
    FWindow.reset();
    FPrompts.reset();
}

void TestHiDpi::iconsAreDrawnFromTheirSvgAtTheScreensScale()
{
    // A button's icon at the window's scale is one of the icon collection's
    // SVGs drawn straight at that many device pixels, not a smaller picture
    // scaled up.
    QList<std::shared_ptr<QSvgRenderer>> svgs;
    QDirIterator icons(u":/icons"_s);
    while (icons.hasNext()) {
        svgs.append(std::make_shared<QSvgRenderer>(icons.next()));
        QVERIFY(svgs.last()->isValid());
    }
    const auto drawnStraight = [](QSvgRenderer &svg, QSize size) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        return image;
    };
    int buttons = 0;
    for (QToolButton *button : FWindow->findChildren<QToolButton *>()) {
        if (button->icon().isNull() || !button->isVisible()) // the bars' hidden overflow buttons
            continue;
        ++buttons;
        const QPixmap drawn = button->icon().pixmap(button->iconSize(), FWindow->devicePixelRatio());
        QCOMPARE(drawn.devicePixelRatio(), kScale);
        const QImage image = drawn.toImage();
        QVERIFY2(std::any_of(svgs.cbegin(), svgs.cend(),
                             [&](const std::shared_ptr<QSvgRenderer> &svg) {
                                 const int difference = Difference(image, drawnStraight(*svg, image.size()));
                                 return difference >= 0 && difference <= 2;
                             }),
                 qPrintable(button->objectName() + u' ' + button->toolTip()));
    }
    QVERIFY(buttons >= 15);
    // Pictures in labels are made for the screen's scale as well.
    for (QLabel *label : FWindow->findChildren<QLabel *>()) {
        if (!label->pixmap().isNull())
            QCOMPARE(label->pixmap().devicePixelRatio(), kScale);
    }
}

void TestHiDpi::theGridDoublesItsPixelsWithEverythingElse()
{
    const auto write = [this](const QString &name, const QByteArray &bytes) {
        QFile file(FDir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write a fixture");
        return file.fileName();
    };
    FWindow->findChild<QComboBox *>(u"cmbLeft"_s)
        ->setCurrentText(write(u"left.txt"_s, "alpha\nbeta gamma delta\nsame line\nonly left\nend\n"));
    FWindow->findChild<QComboBox *>(u"cmbRight"_s)
        ->setCurrentText(write(u"right.txt"_s, "alpha\nbeta GAMMA delta\nsame line\nend\nonly right\n"));
    FWindow->findChild<QAction *>(u"miAsTextFiles1"_s)->trigger();
    TDiffGrid &grid = FWindow->Grid();
    QTRY_VERIFY(grid.CellRect(2, grid.RowCount() - 1).bottom() < grid.viewport()->height());
    QTest::qWait(250); // the path row follows the columns on the window's timer

    const QImage window = FWindow->grab().toImage();
    QCOMPARE(window.devicePixelRatio(), kScale);
    QCOMPARE(window.size(), FWindow->size() * kScale);
    const QString folder = qEnvironmentVariable("LUNAVIST_PICTURES");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        window.save(QDir(folder).filePath(u"window-200-percent.png"_s));
    }

    // The grid line after column 0 of an unchanged row is one pixel in the
    // window's units: two on the screen, and its neighbours are the row's.
    const QImage cells = grid.viewport()->grab().toImage();
    const QRect cell = grid.CellRect(0, 3);
    const int y = int(cell.center().y() * kScale);
    const int line = int(cell.right() * kScale);
    const QColor base = grid.palette().color(QPalette::Base);
    QVERIFY(cells.pixelColor(line, y) != base);
    QCOMPARE(cells.pixelColor(line + 1, y), cells.pixelColor(line, y));
    QCOMPARE(cells.pixelColor(line - 1, y), base);
    QCOMPARE(cells.pixelColor(line + 2, y), base);
}

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
