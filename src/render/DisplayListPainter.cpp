#include "render/DisplayListPainter.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include "text/Encoding.h"

namespace vornal::render {
namespace {

QColor ToQColor(Colour colour)
{
    return QColor(colour.Red, colour.Green, colour.Blue);
}

QString ToQString(std::string_view cp932)
{
    const std::string utf8 = ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void Paint(QPainter& painter, const FilledRect& rect)
{
    painter.fillRect(QRectF(rect.X, rect.Y, rect.Width, rect.Height), ToQColor(rect.Fill));
}

void Paint(QPainter& painter, const LineItem& line)
{
    painter.setPen(QPen(ToQColor(line.Ink), line.Width));
    painter.drawLine(QPointF(line.X1, line.Y1), QPointF(line.X2, line.Y2));
}

void Paint(QPainter& painter, const TextRun& run)
{
    const QFont font = RunFont(run);
    painter.setFont(font);
    painter.setPen(ToQColor(run.Ink));
    const double baseline = run.Y + QFontMetricsF(font).ascent();
    if (run.Pitch <= 0) {
        painter.drawText(QPointF(run.X, baseline), ToQString(run.Text));
        return;
    }
    // Every byte advances one pitch: a full-width character takes two, whatever the face.
    const std::string_view text = run.Text;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharLength(text, i);
        if (text[i] != ' ') {
            painter.drawText(QPointF(run.X + static_cast<double>(i) * run.Pitch, baseline),
                             ToQString(text.substr(i, length)));
        }
        i += length;
    }
}

void Paint(QPainter& painter, const PolygonItem& polygon)
{
    QPolygonF points;
    for (const Point& point : polygon.Points) {
        points << QPointF(point.X, point.Y);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(polygon.Fill));
    painter.drawPolygon(points);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void Paint(QPainter& painter, const EllipseItem& ellipse)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(ellipse.Fill));
    painter.drawEllipse(QRectF(ellipse.X, ellipse.Y, ellipse.Width, ellipse.Height));
    painter.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

QFont RunFont(const TextRun& run)
{
    QFont font(QString::fromUtf8(FontFaceName(run.Face)));
    font.setPixelSize(std::max(1, TextHeight(run.Points)));
    font.setBold(run.Bold);
    return font;
}

void PaintDisplayList(QPainter& painter, const DisplayList& list)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const DisplayItem& item : list.Items) {
        std::visit([&painter](const auto& value) { Paint(painter, value); }, item);
    }
    painter.restore();
}

} // namespace vornal::render
