#pragma once

#include <string>

#include "present/PrintPage.h"

class QPainter;
class QPagedPaintDevice;
class QString;

// Turns the pages of a printed sheet into QPainter calls for any paint device: the print
// preview, a printer and a PDF are drawn by the same code.
namespace vornal {

// The device a page is drawn for. Page units of 0.1 mm become dots of the device's
// resolution; pen widths, given in tenths of a screen pixel, become dots by the ratio of the
// device's vertical resolution to the screen's. `scale` then shrinks the drawing (the
// preview draws a printer's page at screen size); it is 1 on the printer itself.
struct PageDevice
{
    int DpiX = 600;
    int DpiY = 600;
    int ScreenDpi = 96;
    double Scale = 1.0;
};

// u x resolution / 254, rounded to the nearest dot.
int PageToDevice(int units, int dpi);
// w x vertical resolution / (screen resolution x 10), rounded, at least 1.
int PenToDevice(int width, const PageDevice& device);
// The pixel size of a font of `points` at `dpi`, rounded.
int FontPixels(int points, int dpi);

// Draws `page` with its origin at the painter's current origin (the top-left corner of the
// printable area on a printer).
void PaintPage(QPainter& painter, const PrintPage& page, const PageDevice& device);

// Sends pages first..last (1-based, clipped to the document) to `target` as one job, one
// device page each. The painter is opened on the device here. False with `error` set when
// the device cannot be painted on.
bool PaintDocument(QPagedPaintDevice& target, const PrintDocument& document, int first, int last,
                   QString* error = nullptr);

// Writes every page of `document` to the PDF file `path` (A4 portrait, 600 dpi, a printable
// area 5 mm inside the paper's edges). False with `error` set when the file cannot be written.
bool WritePdf(const PrintDocument& document, const std::string& path, std::string& error);

} // namespace vornal
