#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QWidget>

#include "present/GridSort.h"
#include "ui/GridModel.h"

class QButtonGroup;
class QHBoxLayout;
class QPushButton;
class QTableView;

// A table of the workbench: a QTableView over a GridModel, with the toggle buttons of the
// table above it when it has any (exactly one of them down). A toggle sorts through the
// core, so the order of equal keys is the one the users know; every new grid is shown in
// horse-number order with "馬番" down.
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

    // Presses the toggle with the caption (UTF-8): sorts and leaves that button down alone;
    // false when the table has none.
    bool Press(std::string_view caption);
    // The toggle button with the caption (UTF-8), or nullptr.
    QPushButton* Toggle(std::string_view caption) const;

    // Adds the "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ" button: it puts the table, under the title `title` gives (CP932)
    // at the time of the click, on the clipboard as plain text.
    void EnableClipboard(std::function<std::string()> title);
    QPushButton* ClipboardButton() const { return m_clipboard; }
    // The text the "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ" button copies (CP932).
    std::string ClipboardCopy() const;

private:
    void ApplyWidths();
    void ShowGrid(CellGrid grid);

    std::optional<SortTable> m_sortTable;
    GridModel* m_model;
    QTableView* m_table;
    QHBoxLayout* m_buttons = nullptr;
    QButtonGroup* m_toggles = nullptr;
    QPushButton* m_clipboard = nullptr;
    std::function<std::string()> m_title;
};

} // namespace vornal::ui
