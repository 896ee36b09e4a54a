#include "present/DisplayListJson.h"

#include <type_traits>

namespace vornal {
namespace {

void WriteColour(JsonWriter& json, std::string_view key, Colour colour)
{
    json.Key(key);
    json.BeginArray();
    json.Number(static_cast<int>(colour.Red));
    json.Number(static_cast<int>(colour.Green));
    json.Number(static_cast<int>(colour.Blue));
    json.EndArray();
}

void WriteKind(JsonWriter& json, std::string_view kind)
{
    json.Key("kind");
    json.Utf8(kind);
}

void WriteItem(JsonWriter& json, const FilledRect& rect)
{
    WriteKind(json, "rect");
    json.Field("x", rect.X);
    json.Field("y", rect.Y);
    json.Field("width", rect.Width);
    json.Field("height", rect.Height);
    WriteColour(json, "fill", rect.Fill);
}

void WriteItem(JsonWriter& json, const LineItem& line)
{
    WriteKind(json, "line");
    json.Field("x1", line.X1);
    json.Field("y1", line.Y1);
    json.Field("x2", line.X2);
    json.Field("y2", line.Y2);
    json.Field("lineWidth", line.Width);
    WriteColour(json, "ink", line.Ink);
}

void WriteItem(JsonWriter& json, const TextRun& text)
{
    WriteKind(json, "text");
    json.Field("x", text.X);
    json.Field("y", text.Y);
    json.Key("text");
    json.Cp932(text.Text);
    json.Key("face");
    json.Utf8(FontFaceName(text.Face));
    json.Field("points", text.Points);
    json.Field("bold", text.Bold);
    WriteColour(json, "ink", text.Ink);
    json.Field("pitch", text.Pitch);
}

void WriteItem(JsonWriter& json, const PolygonItem& polygon)
{
    WriteKind(json, "polygon");
    json.Key("points");
    json.BeginArray();
    for (const Point& point : polygon.Points) {
        json.BeginArray();
        json.Number(point.X);
        json.Number(point.Y);
        json.EndArray();
    }
    json.EndArray();
    WriteColour(json, "fill", polygon.Fill);
}

void WriteItem(JsonWriter& json, const EllipseItem& ellipse)
{
    WriteKind(json, "ellipse");
    json.Field("x", ellipse.X);
    json.Field("y", ellipse.Y);
    json.Field("width", ellipse.Width);
    json.Field("height", ellipse.Height);
    WriteColour(json, "fill", ellipse.Fill);
}

} // namespace

void WriteDisplayListJson(JsonWriter& json, const DisplayList& list)
{
    json.BeginArray();
    for (const DisplayItem& item : list.Items) {
        json.BeginObject();
        std::visit([&json](const auto& value) { WriteItem(json, value); }, item);
        json.EndObject();
    }
    json.EndArray();
}

} // namespace vornal
