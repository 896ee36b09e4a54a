#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QObject>

// The painted race card and detail grid, the toggle rows and the clipboard buttons of the
// race analysis view, driven through the real window over a generated store.
class PaintedGridsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void rankingTogglesSortAsTheCoreDoesWithOneDown();
    void clipboardButtonsCopyTheTableWithItsTitle();
    void sortedRowsKeepTheirRunnersDrawing();
    void developerLinesFollowTheMarkerFile();

private:
    std::filesystem::path m_root;
    std::filesystem::path m_app;
    std::vector<std::string> m_days;
};
