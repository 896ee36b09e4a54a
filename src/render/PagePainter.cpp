#include "render/PagePainter.h"

#include <algorithm>
#include <cmath>

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "text/Encoding.h"

namespace vornal {

int PageToDevice(int units, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(units) * dpi / 254.0));
}

int PenToDevice(int width, const PageDevice& device)
{
    const long dots = std::lround(static_cast<double>(width) * device.DpiY / (device.ScreenDpi * 10.0));
    return static_cast<int>(std::max(1L, dots));
}

int FontPixels(int points, int dpi)
{
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

namespace {

QColor ToColor(Rgb colour)
{
    return QColor(colour.Red, colour.Green, colour.Blue);
}

// The sheets name the Windows gothic faces; the IPA faces stand in where those are absent.
QFont PageQFont(const PageFont& font, int dpi)
{
    QFont qfont;
    const QString name = QString::fromUtf8(font.Name.data(), static_cast<int>(font.Name.size()));
    const bool proportional = font.Name == kPrintProportionalFont;
    qfont.setFamilies(
        {name, proportional ? QStringLiteral("IPAPGothic") : QStringLiteral("IPAGothic"), QStringLiteral("IPAGothic")});
    qfont.setPixelSize(std::max(1, FontPixels(font.Size, dpi)));
    qfont.setBold(font.Bold);
    qfont.setUnderline(font.Underline);
    qfont.setKerning(false);
    return qfont;
}

QPointF DevicePoint(int x, int y, const PageDevice& device)
{
    return QPointF(PageToDevice(x, device.DpiX), PageToDevice(y, device.DpiY));
}

} // namespace

void PaintPage(QPainter& painter, const PrintPage& page, const PageDevice& device)
{
    painter.save();
    painter.scale(device.Scale, device.Scale);
    painter.setRenderHint(QPainter::Antialiasing, device.Scale < 1.0);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PageItem& item : page.Items) {
        const QPointF from = DevicePoint(item.X1, item.Y1, device);
        const QPointF to = DevicePoint(item.X2, item.Y2, device);
        switch (item.Kind) {
        case PageItemKind::Text: {
            const QFont font = PageQFont(item.Font, device.DpiY);
            painter.setFont(font);
            painter.setPen(ToColor(item.Font.Colour));
            const std::string utf8 = ToUtf8(item.Text);
            // Page positions name the top-left corner of the text; Qt draws from the baseline.
            const QFontMetricsF metrics(font, painter.device());
            painter.drawText(QPointF(from.x(), from.y() + metrics.ascent()),
                             QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())));
            break;
        }
        case PageItemKind::Line:
        case PageItemKind::Rect: {
            QPen pen(ToColor(item.PenColour));
            pen.setWidth(item.PenInDots ? std::max(1, item.PenWidth) : PenToDevice(item.PenWidth, device));
            pen.setCapStyle(Qt::SquareCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            if (item.Kind == PageItemKind::Line) {
                painter.drawLine(from, to);
            } else {
                painter.setBrush(item.BrushClear ? QBrush(Qt::NoBrush) : QBrush(ToColor(item.BrushColour)));
                painter.drawRect(QRectF(from, to));
                painter.setBrush(Qt::NoBrush);
            }
            break;
        }
        }
    }
    painter.restore();
}

bool PaintDocument(QPagedPaintDevice& target, const PrintDocument& document, int first, int last, QString* error)
{
    const int count = static_cast<int>(document.Pages.size());
    first = std::max(first, 1);
    last = std::min(last, count);
    // A landscape table goes out in landscape; the device is set back to portrait afterwards.
    const QPageLayout::Orientation orientation = target.pageLayout().orientation();
    target.setPageOrientation(document.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    struct Restore
    {
        QPagedPaintDevice& device;
        QPageLayout::Orientation orientation;
        ~Restore() { device.setPageOrientation(orientation); }
    } restore{target, orientation};
    QPainter painter;
    if (!painter.begin(&target)) {
        if (error != nullptr) {
            *error = QStringLiteral("the device cannot be painted on");
        }
        return false;
    }
    const PageDevice device{target.logicalDpiX(), target.logicalDpiY()};
    for (int n = first; n <= last; ++n) {
        if (n > first && !target.newPage()) {
            if (error != nullptr) {
                *error = QStringLiteral("the device refused a new page");
            }
            painter.end();
            return false;
        }
        PaintPage(painter, document.Pages[n - 1], device);
    }
    return painter.end();
}

bool WritePdf(const PrintDocument& document, const std::string& path, std::string& error)
{
    const QString fileName = QString::fromStdString(path);
    {
        // QPdfWriter reports an unwritable file only by painting nothing: try it first.
        QFile probe(fileName);
        if (!probe.open(QIODevice::WriteOnly)) {
            error = "cannot write " + path + ": " + probe.errorString().toStdString();
            return false;
        }
    }
    QPdfWriter writer(fileName);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     document.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Vornal"));
    writer.setTitle(QString::fromStdString(document.Caption));
    QString message;
    if (!PaintDocument(writer, document, 1, static_cast<int>(document.Pages.size()), &message)) {
        error = "cannot write " + path + ": " + message.toStdString();
        return false;
    }
    return true;
}

} // namespace vornal
