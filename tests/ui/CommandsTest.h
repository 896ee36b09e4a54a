#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QObject>

// The race-morning commands of the main window over a generated store whose last day has
// entries only: quick odds, results retrieval, the hit report, the help page, the link check
// at the first showing, the race-list toggle and option, the developer menu.
class CommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void quickOddsForAllRacesRefreshTheShownOdds();
    void theTimeSeriesImportSaysWhatItTookOrWhyNot();
    void anInjectedOddsErrorShowsItsStatusLineAndLogLine();
    void resultsRetrievalThenTheHitReportShowsItsColours();
    void theFirstShowingChecksTheLinkAndHelpOpensTheGuide();
    void theListToggleTheListOptionAndTheDeveloperMenu();
    void theSettingsFilesBridgeServesTheCheckAndTheQuickOdds();
    void qtsOwnDialogsSpeakJapanese();
    void theMatrixTogglesFollowEverySwapOfTheDay();
    void aLoadAndAHungRealTimeReadAreCancelledByTheUser();
    void closingWhileBusyAsksThenStopsTheJobAndCloses();
    void recordingTheOddsLeavesTheWindowWorking();

private:
    std::filesystem::path Copy(const char* name) const;

    std::filesystem::path m_root;
    std::filesystem::path m_app;
    std::filesystem::path m_feed;
    std::vector<std::string> m_days;
};
