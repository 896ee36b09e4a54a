#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPdfWriter>

#include <unistd.h>
#include <QPainter>

#include "render/PagePainter.h"

namespace vornal {
namespace {

TEST(PagePainterTest, PageUnitsBecomeDotsOfThePrinter)
{
    // 0.1 mm x dpi / 254, to the nearest dot.
    EXPECT_EQ(PageToDevice(100, 300), 118);
    EXPECT_EQ(PageToDevice(2470, 300), 2917);
    EXPECT_EQ(PageToDevice(1990, 300), 2350);
    EXPECT_EQ(PageToDevice(100, 600), 236);
    EXPECT_EQ(PageToDevice(105, 600), 248);
    EXPECT_EQ(PageToDevice(120, 600), 283);
    EXPECT_EQ(PageToDevice(2470, 600), 5835);
    EXPECT_EQ(PageToDevice(0, 600), 0);
}

TEST(PagePainterTest, PenWidthsScaleFromTheScreenAndNeverVanish)
{
    const PageDevice at300{300, 300};
    const PageDevice at600{600, 600};
    // Tenths of a 96-dpi screen pixel: w x dpi / 960.
    EXPECT_EQ(PenToDevice(20, at300), 6);
    EXPECT_EQ(PenToDevice(12, at300), 4);
    EXPECT_EQ(PenToDevice(10, at300), 3);
    EXPECT_EQ(PenToDevice(5, at300), 2);
    EXPECT_EQ(PenToDevice(1, at300), 1);
    EXPECT_EQ(PenToDevice(20, at600), 13);
    EXPECT_EQ(PenToDevice(12, at600), 8);
    EXPECT_EQ(PenToDevice(5, at600), 3);
    EXPECT_EQ(PenToDevice(1, at600), 1);
    // The vertical resolution decides, also on a printer with unequal resolutions.
    EXPECT_EQ(PenToDevice(20, PageDevice{300, 600}), 13);
    EXPECT_EQ(FontPixels(10, 600), 83);
    EXPECT_EQ(FontPixels(8, 300), 33);
}

TEST(PagePainterTest, FilledRectangleLandsOnItsDots)
{
    PrintDocument document;
    PageCanvas canvas(document);
    canvas.SetPen(20);
    canvas.SetBrush(kPrintBlack);
    canvas.Rect(100, 100, 200, 150);
    canvas.SetPen(1);
    canvas.Line(0, 300, 400, 300);

    QImage image(500, 500, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintPage(painter, document.Pages[0], PageDevice{300, 300});
    }
    // The box spans dots 118..236 across and 118..177 down; the one-dot line lies on y 354.
    EXPECT_EQ(image.pixelColor(177, 150), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(100, 150), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(250, 150), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(177, 190), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(300, 354), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(300, 357), QColor(Qt::white));
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST(PagePainterTest, LandscapeTableGoesOutInLandscapeAndThePrinterIsSetBack)
{
    PrintDocument document;
    document.Landscape = true;
    PageCanvas canvas(document);
    canvas.SetPenDots(4);
    canvas.Rect(0, 0, 100, 100);
    canvas.NewPage();
    canvas.Rect(0, 0, 100, 100);
    const QString path = QDir::temp().filePath(QStringLiteral("vornal-landscape-%1.pdf").arg(getpid()));
    QPdfWriter writer(path);
    ASSERT_EQ(writer.pageLayout().orientation(), QPageLayout::Portrait);
    QString error;
    ASSERT_TRUE(PaintDocument(writer, document, 1, 99, &error)) << error.toStdString();
    EXPECT_EQ(writer.pageLayout().orientation(), QPageLayout::Portrait);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    // Two pages, each 842 points wide and 595 high.
    EXPECT_EQ(pdf.count("/MediaBox [0 0 842.000000 595.000000]"), 2);
    file.remove();
}

} // namespace
} // namespace vornal
