#pragma once

#include <QObject>

#include <filesystem>

class SeasonReportWindowTest : public QObject
{
    Q_OBJECT
private:
    std::filesystem::path m_root;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void theMenuOpensTheWindowAndARunFillsTableAndCharts();
    void theDeveloperMethodIsOfferedInTheDeveloperViewOnly();
    void theTuningTabsMeasureTheTablesAgainAndShowOldBesideNew();
    void aRefusedSnapshotIsSaidInTheStatusLine();
};
