#pragma once

#include <QObject>

class SettingsWindowsTest : public QObject
{
    Q_OBJECT
private slots:
    void theRuleSetWindowRejectsABadRuleAndSavesAGoodOne();
    void enterMovesOnAndAShortDistanceBecomes1000();
    void theOddsTimeIsWrittenOnlyOnOk();
};
