#pragma once

#include <optional>

#include <QWidget>

#include "present/GridSort.h"
#include "ui/GridModel.h"

class QTableView;

// A table of the workbench: a QTableView over a GridModel, with the toggle buttons of the
// table above it when it has any. A toggle sorts through the core, so the order of equal
// keys is the one the users know.
namespace vornal::ui {

class GridView : public QWidget
{
    Q_OBJECT
public:
    explicit GridView(std::optional<SortTable> sortTable = std::nullopt, QWidget* parent = nullptr);

    void SetGrid(CellGrid grid);
    const CellGrid& Grid() const { return m_model->Grid(); }
    GridModel* Model() const { return m_model; }
    QTableView* Table() const { return m_table; }

    // Presses the toggle with the caption (UTF-8); false when the table has none.
    bool Press(std::string_view caption);

private:
    void ApplyWidths();

    std::optional<SortTable> m_sortTable;
    GridModel* m_model;
    QTableView* m_table;
};

} // namespace vornal::ui
