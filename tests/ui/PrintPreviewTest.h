#pragma once

#include <filesystem>

#include <QObject>

#include "present/PrintPage.h"

class PrintPreviewTest : public QObject
{
    Q_OBJECT
private:
    std::filesystem::path m_root;
    std::filesystem::path m_app;
    vornal::PrintDocument m_sheets;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void opensOnPageOneAndTheSelectorMovesPages();
    void theZoomSurvivesARestart();
    void printingSendsTheChosenPagesAsOneJob();
    void withoutAPrinterPrintingSaysSo();
    void aTabPrintsItsTableInLandscapeAndSetsThePrinterBack();
};
