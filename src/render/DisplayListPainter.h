#pragma once

#include <QFont>

#include "present/DisplayList.h"

class QPainter;

// Paints the core's display lists with QPainter: on a widget, an image or a printer page
// alike. The faces "ＭＳ ゴシック" and "ＭＳ Ｐゴシック" are asked for by name; the application
// maps them to the faces installed.
namespace vornal::render {

// The face of a text run, at the pixel size of its points (TextHeight).
QFont RunFont(const TextRun& run);

// Paints the items in order. The painter's state is kept as it was given.
void PaintDisplayList(QPainter& painter, const DisplayList& list);

} // namespace vornal::render
