#include "present/PrintPage.h"

#include "raceday/JsonWriter.h"
#include "text/Encoding.h"

namespace vornal {

std::vector<const PageItem*> PrintPage::TextsEqual(std::string_view utf8) const
{
    std::vector<const PageItem*> found;
    const std::string& cp932 = ToCp932(utf8);
    for (const PageItem& item : Items) {
        if (item.Kind == PageItemKind::Text && item.Text == cp932) {
            found.push_back(&item);
        }
    }
    return found;
}

PageCanvas::PageCanvas(PrintDocument& document) : m_document(document)
{
    m_document.Pages.assign(1, PrintPage{});
}

void PageCanvas::NewPage()
{
    m_document.Pages.emplace_back();
}

void PageCanvas::SetFont(int size, bool bold, bool underline)
{
    m_font.Size = size;
    m_font.Bold = bold;
    m_font.Underline = underline;
}

PageItem PageCanvas::Item(PageItemKind kind) const
{
    PageItem item;
    item.Kind = kind;
    item.Font = m_font;
    item.PenWidth = m_penWidth;
    item.PenInDots = m_penInDots;
    item.BrushClear = m_brushClear;
    item.BrushColour = m_brushColour;
    return item;
}

void PageCanvas::Text(int x, int y, std::string_view cp932)
{
    if (cp932.empty()) {
        return;
    }
    PageItem item = Item(PageItemKind::Text);
    item.X1 = item.X2 = x;
    item.Y1 = item.Y2 = y;
    item.Text = std::string(cp932);
    m_document.Pages.back().Items.push_back(std::move(item));
}

void PageCanvas::Line(int x1, int y1, int x2, int y2)
{
    PageItem item = Item(PageItemKind::Line);
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    m_document.Pages.back().Items.push_back(std::move(item));
}

void PageCanvas::Rect(int x1, int y1, int x2, int y2)
{
    PageItem item = Item(PageItemKind::Rect);
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    m_document.Pages.back().Items.push_back(std::move(item));
}

namespace {

std::string HexColour(Rgb colour)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (const std::uint8_t part : {colour.Red, colour.Green, colour.Blue}) {
        text += kDigits[part >> 4];
        text += kDigits[part & 15];
    }
    return text;
}

void WriteItem(JsonWriter& json, const PageItem& item)
{
    json.BeginObject();
    json.Key("kind");
    json.Utf8(item.Kind == PageItemKind::Text ? "text" : item.Kind == PageItemKind::Line ? "line" : "rect");
    json.Field("x", item.X1);
    json.Field("y", item.Y1);
    if (item.Kind == PageItemKind::Text) {
        json.Key("text");
        json.Cp932(item.Text);
        json.Key("font");
        json.Utf8(item.Font.Name);
        json.Field("size", item.Font.Size);
        json.Field("bold", item.Font.Bold);
        json.Field("underline", item.Font.Underline);
        json.Key("colour");
        json.Utf8(HexColour(item.Font.Colour));
    } else {
        json.Field("x2", item.X2);
        json.Field("y2", item.Y2);
        json.Field("pen", item.PenWidth);
        if (item.PenInDots) {
            json.Field("penDots", true);
        }
        if (item.Kind == PageItemKind::Rect) {
            json.Key("brush");
            json.Utf8(item.BrushClear ? "clear" : HexColour(item.BrushColour));
        }
    }
    json.EndObject();
}

} // namespace

std::string PrintDocumentJson(const PrintDocument& document)
{
    std::string out;
    JsonWriter json(out);
    json.BeginObject();
    json.Key("caption");
    json.Utf8(document.Caption);
    json.Field("firstPage", document.FirstPage);
    json.Field("lastPage", document.LastPage);
    json.Field("landscape", document.Landscape);
    json.Key("pages");
    json.BeginArray();
    for (std::size_t n = 0; n < document.Pages.size(); ++n) {
        json.BeginObject();
        const int number = document.Pages[n].Number;
        json.Field("number", number > 0 ? number : static_cast<int>(n) + 1);
        json.Key("items");
        json.BeginArray();
        for (const PageItem& item : document.Pages[n].Items) {
            WriteItem(json, item);
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    out += "\n";
    return out;
}

} // namespace vornal
