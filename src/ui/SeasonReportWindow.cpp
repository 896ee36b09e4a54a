#include "ui/SeasonReportWindow.h"

#include <algorithm>
#include <cmath>

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QLogValueAxis>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "app/AtomicFile.h"
#include "app/SettingKeys.h"
#include "app/Settings.h"
#include "betting/BetMethod.h"
#include "betting/UserSetFile.h"
#include "present/GridSort.h"
#include "season/SeasonGrid.h"
#include "season/SeasonReportJson.h"
#include "season/SeasonRun.h"
#include "store/StorePaths.h"
#include "ui/BarProgress.h"
#include "ui/GridModel.h"
#include "ui/Text.h"

namespace vornal::ui {

namespace {

constexpr BetMethodKind kMethodChoices[] = {BetMethodKind::No1, BetMethodKind::No2, BetMethodKind::User,
                                            BetMethodKind::Developer1};

QChartView* NewChartView(QWidget* parent, const QString& name)
{
    auto* view = new QChartView(new QChart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, 260);
    return view;
}

// A fresh chart for the view: axes and category labels of the last one never linger.
QChart* Fresh(QChartView* view, const QString& title)
{
    QChart* old = view->chart();
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    view->setChart(chart);
    delete old;
    return chart;
}

// Adds the series, then the axes, then attaches them: the order in which the axes take
// their ranges from what is set last.
void Attach(QChart* chart, const std::vector<QAbstractSeries*>& series, QAbstractAxis* x, QAbstractAxis* y)
{
    for (QAbstractSeries* one : series) {
        chart->addSeries(one);
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* one : series) {
        one->attachAxis(x);
        one->attachAxis(y);
    }
}

} // namespace

SeasonReportWindow::SeasonReportWindow(std::filesystem::path appDir, QWidget* parent)
    : QDialog(parent), m_appDir(std::move(appDir)), m_methods(new QListWidget(this)), m_from(new QComboBox(this)),
      m_to(new QComboBox(this)), m_by(new QComboBox(this)), m_shownMethod(new QComboBox(this)),
      m_series(new QComboBox(this)), m_run(new QPushButton(QStringLiteral("実行"), this)),
      m_cancel(new QPushButton(QStringLiteral("中止"), this)), m_progress(new QProgressBar(this)),
      m_status(new QLabel(this)), m_table(new QTableView(this)), m_model(new GridModel(this)),
      m_curve(NewChartView(this, QStringLiteral("ProfitCurve"))),
      m_rates(NewChartView(this, QStringLiteral("BreakdownRates"))),
      m_calibration(NewChartView(this, QStringLiteral("Calibration"))), m_job(new Job(this))
{
    setWindowTitle(QStringLiteral("成績分析"));
    setObjectName(QStringLiteral("SeasonReportWindow"));
    m_methods->setObjectName(QStringLiteral("Methods"));
    // The developer method is offered in the developer view only, as in the main window.
    const bool developerView = IsDeveloperView(m_appDir);
    for (const BetMethodKind kind : kMethodChoices) {
        if (kind == BetMethodKind::Developer1 && !developerView) {
            continue;
        }
        auto* item = new QListWidgetItem(Q(BetMethodCaption(kind)), m_methods);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(kind == BetMethodKind::No1 ? Qt::Checked : Qt::Unchecked);
    }
    m_methods->setMaximumHeight(90);
    std::vector<std::string> days = StoredDayNames(m_appDir);
    std::reverse(days.begin(), days.end());
    for (const std::string& day : days) {
        m_from->addItem(Q(day));
        m_to->addItem(Q(day));
    }
    m_from->setObjectName(QStringLiteral("From"));
    m_to->setObjectName(QStringLiteral("To"));
    m_to->setCurrentIndex(m_to->count() - 1);
    for (Breakdown by : kBreakdowns) {
        m_by->addItem(Q(BreakdownCaption(by)));
    }
    m_by->setObjectName(QStringLiteral("Breakdown"));
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        m_series->addItem(Q(SeriesName(s)));
    }
    m_series->setCurrentIndex(static_cast<int>(kAllTypes));
    m_cancel->setEnabled(false);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_status->setObjectName(QStringLiteral("Status"));
    auto* csv = new QPushButton(QStringLiteral("CSV出力"), this);
    auto* png = new QPushButton(QStringLiteral("PNG出力"), this);

    auto* choices = new QGridLayout;
    choices->addWidget(new QLabel(QStringLiteral("買い目"), this), 0, 0);
    choices->addWidget(m_methods, 0, 1, 2, 1);
    choices->addWidget(new QLabel(QStringLiteral("期間"), this), 0, 2);
    auto* range = new QHBoxLayout;
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("～"), this));
    range->addWidget(m_to);
    choices->addLayout(range, 0, 3);
    choices->addWidget(new QLabel(QStringLiteral("区分"), this), 1, 2);
    auto* shown = new QHBoxLayout;
    shown->addWidget(m_by);
    shown->addWidget(new QLabel(QStringLiteral("表示"), this));
    shown->addWidget(m_shownMethod);
    shown->addWidget(m_series);
    choices->addLayout(shown, 1, 3);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    choices->addLayout(buttons, 0, 4, 2, 1);
    auto* exports = new QVBoxLayout;
    exports->addWidget(csv);
    exports->addWidget(png);
    choices->addLayout(exports, 0, 5, 2, 1);
    for (QComboBox* box : {m_from, m_to, m_by, m_shownMethod, m_series}) {
        box->setMinimumWidth(150);
    }
    choices->setColumnStretch(6, 1);

    m_table->setModel(m_model);
    m_table->setObjectName(QStringLiteral("BreakdownTable"));
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->setMinimumWidth(560);

    auto* charts = new QGridLayout;
    charts->addWidget(m_table, 0, 0);
    charts->addWidget(m_curve, 0, 1);
    charts->addWidget(m_rates, 1, 0);
    charts->addWidget(m_calibration, 1, 1);
    charts->setColumnStretch(0, 1);
    charts->setColumnStretch(1, 1);

    auto* status = new QHBoxLayout;
    status->addWidget(m_progress, 1);
    status->addWidget(m_status, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(status);
    layout->addLayout(charts, 1);
    resize(1360, 900);

    connect(m_run, &QPushButton::clicked, this, [this] { Run(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(m_by, &QComboBox::currentIndexChanged, this, [this](int index) { ShowBreakdown(index); });
    connect(m_shownMethod, &QComboBox::currentIndexChanged, this, [this] { ShowReport(); });
    connect(m_series, &QComboBox::currentIndexChanged, this, [this] { ShowCharts(); });
    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { SortBy(column); });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString file =
            QFileDialog::getSaveFileName(this, QStringLiteral("CSV出力"), {}, QStringLiteral("CSV (*.csv)"));
        if (!file.isEmpty() && !ExportCsv(file)) {
            m_status->setText(QStringLiteral("書き込めません: ") + file);
        }
    });
    connect(png, &QPushButton::clicked, this, [this] {
        const QString file =
            QFileDialog::getSaveFileName(this, QStringLiteral("PNG出力"), {}, QStringLiteral("PNG (*.png)"));
        if (!file.isEmpty() && !ExportPng(file)) {
            m_status->setText(QStringLiteral("書き込めません: ") + file);
        }
    });
    ShowCharts();
}

SeasonReportWindow::~SeasonReportWindow()
{
    // The worker writes this window's members: it stops before they go.
    delete m_job;
    m_job = nullptr;
}

bool SeasonReportWindow::Run()
{
    if (Running()) {
        return false;
    }
    std::vector<SeasonMethod> methods;
    const Settings settings(SettingsFile(m_appDir));
    for (int i = 0; i < m_methods->count(); ++i) {
        if (m_methods->item(i)->checkState() != Qt::Checked) {
            continue;
        }
        const BetMethodKind kind = kMethodChoices[i];
        SeasonMethod method{std::string(BetMethodName(kind)), {}};
        method.method.kind = kind;
        if (kind == BetMethodKind::User) {
            // The set the settings choose, as the day pipeline takes it.
            const UserSetFile sets = LoadUserSets(m_appDir);
            if (const UserRuleSet* set = sets.SetAt(kUserBettingSetId.Read(settings))) {
                method.method.userSet = *set;
            }
        }
        methods.push_back(std::move(method));
    }
    if (methods.empty() || m_from->count() == 0) {
        m_status->setText(QStringLiteral("買い目を選択してください。"));
        return false;
    }
    SeasonRunOptions options;
    options.from = Cp932(m_from->currentText());
    options.to = Cp932(m_to->currentText());
    options.decisionTime = true;
    m_runProgress = std::make_unique<BarProgress>(m_progress);
    options.progress = m_runProgress.get();
    m_run->setEnabled(false);
    m_cancel->setEnabled(true);
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("集計中…"));
    SeasonReportOptions reportOptions;
    return m_job->Start(
        [this, methods = std::move(methods), options, reportOptions](const CancelFlag& cancel) mutable {
        options.cancel = &cancel;
        const SeasonRun run = RunSeason(m_appDir, methods, options);
        m_resultMessage.clear();
        for (const SeasonDay& day : run.days) {
            // A snapshot the time-series import refuses is said here as the terminal says it.
            if (m_resultMessage.empty() && !day.skippedSnapshots.empty()) {
                m_resultMessage = day.skippedSnapshots.front();
            }
            for (const SeasonMethodDay& judged : day.methods) {
                if (m_resultMessage.empty() && !judged.messages.empty()) {
                    m_resultMessage = judged.messages.front();
                }
            }
        }
        m_result = std::make_unique<SeasonReport>(BuildSeasonReport(run, reportOptions));
        },
        [this] { OnRunEnded(); });
}

void SeasonReportWindow::Cancel()
{
    m_job->Cancel();
}

void SeasonReportWindow::OnRunEnded()
{
    m_runProgress->Flush();
    m_report = std::move(m_result);
    m_run->setEnabled(true);
    m_cancel->setEnabled(false);
    int decision = 0;
    for (DecisionMode mode : m_report->modes) {
        decision += mode == DecisionMode::DecisionTime ? 1 : 0;
    }
    m_status->setText(QStringLiteral("%1日 (時系列オッズ %2日)%3%4%5")
                          .arg(m_report->days.size())
                          .arg(decision)
                          .arg(m_report->cancelled ? QStringLiteral("　中止しました") : QString())
                          .arg(m_report->failedDays.empty()
                                   ? QString()
                                   : QStringLiteral("　読込めない日 %1").arg(m_report->failedDays.size()))
                          .arg(m_resultMessage.empty() ? QString() : QStringLiteral("　") + Q(m_resultMessage)));
    const QSignalBlocker block(m_shownMethod);
    m_shownMethod->clear();
    for (const MethodReport& method : m_report->methods) {
        m_shownMethod->addItem(QString::fromStdString(method.name) + QStringLiteral(" (") + Q(method.betKindSuffix) +
                               QStringLiteral(")"));
    }
    ShowReport();
    emit Finished();
}

void SeasonReportWindow::ShowBreakdown(int index)
{
    const QSignalBlocker block(m_by);
    m_by->setCurrentIndex(index);
    ShowReport();
}

void SeasonReportWindow::ShowReport()
{
    m_sortColumn = -1;
    m_grid = CellGrid();
    const int m = m_shownMethod->currentIndex();
    const int b = m_by->currentIndex();
    if (m_report && m >= 0 && static_cast<std::size_t>(m) < m_report->methods.size() && b >= 0 &&
        static_cast<std::size_t>(b) < m_report->methods[static_cast<std::size_t>(m)].breakdowns.size()) {
        m_grid = BreakdownGrid(m_report->methods[static_cast<std::size_t>(m)].breakdowns[static_cast<std::size_t>(b)]);
    }
    m_model->SetGrid(m_grid);
    m_table->resizeColumnsToContents();
    ShowCharts();
}

void SeasonReportWindow::SortBy(int column)
{
    if (m_grid.RowCount() <= 1) {
        return;
    }
    m_descending = column == m_sortColumn ? !m_descending : false;
    m_sortColumn = column;
    SortByToggle(m_grid, column, m_descending, 0, false);
    m_model->SetGrid(m_grid);
}

void SeasonReportWindow::ShowCharts()
{
    QChart* curve = Fresh(m_curve, QStringLiteral("累積収支とドローダウン"));
    QChart* rates = Fresh(m_rates, QStringLiteral("区分別回収率と90%区間"));
    QChart* calibration = Fresh(m_calibration, QStringLiteral("予想配当と払戻の平均"));
    const int m = m_shownMethod->currentIndex();
    if (!m_report || m < 0 || static_cast<std::size_t>(m) >= m_report->methods.size()) {
        return;
    }
    const MethodReport& method = m_report->methods[static_cast<std::size_t>(m)];
    const std::size_t s = static_cast<std::size_t>(std::max(m_series->currentIndex(), 0));

    // The curve, and the drawdown as the area between the running peak and the curve.
    auto* line = new QLineSeries;
    line->setName(Q(SeriesName(s)) + QStringLiteral(" 累積収支"));
    auto* peak = new QLineSeries;
    auto* floor = new QLineSeries;
    long long high = 0;
    double lowest = 0;
    double highest = 0;
    line->append(0, 0);
    peak->append(0, 0);
    floor->append(0, 0);
    const std::vector<long long>& cumulative = method.series[s].cumulative;
    for (std::size_t d = 0; d < cumulative.size(); ++d) {
        const double x = static_cast<double>(d + 1);
        high = std::max(high, cumulative[d]);
        line->append(x, static_cast<double>(cumulative[d]));
        peak->append(x, static_cast<double>(high));
        floor->append(x, static_cast<double>(cumulative[d]));
        lowest = std::min(lowest, static_cast<double>(cumulative[d]));
        highest = std::max(highest, static_cast<double>(high));
    }
    auto* drawdown = new QAreaSeries(peak, floor);
    drawdown->setName(QStringLiteral("ドローダウン"));
    drawdown->setColor(QColor(220, 60, 60, 90));
    drawdown->setBorderColor(QColor(220, 60, 60, 0));
    auto* days = new QValueAxis;
    days->setTitleText(QStringLiteral("開催日"));
    days->setLabelFormat(QStringLiteral("%d"));
    auto* yen = new QValueAxis;
    yen->setTitleText(QStringLiteral("円"));
    yen->setLabelFormat(QStringLiteral("%.0f"));
    Attach(curve, {drawdown, line}, days, yen);
    days->setRange(0, std::max<double>(1, static_cast<double>(cumulative.size())));
    yen->setRange(lowest - 0.05 * (highest - lowest + 1), highest + 0.05 * (highest - lowest + 1));
    yen->applyNiceNumbers();

    // Return rate by the breakdown, each with its interval, for the bet type chosen (all
    // types: the type with most points of each row is not meaningful, so 馬連 is shown).
    const std::size_t type = s < kBetTypes.size() ? s : static_cast<std::size_t>(BetType::Quinella);
    const int b = m_by->currentIndex();
    if (b >= 0 && static_cast<std::size_t>(b) < method.breakdowns.size()) {
        const BreakdownTable& table = method.breakdowns[static_cast<std::size_t>(b)];
        auto* points = new QScatterSeries;
        points->setName(Q(BetTypeName(kBetTypes[type])) + QStringLiteral(" 回収率"));
        points->setMarkerSize(9);
        auto* categories = new QCategoryAxis;
        categories->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        auto* percent = new QValueAxis;
        percent->setTitleText(QStringLiteral("%"));
        percent->setLabelFormat(QStringLiteral("%.0f"));
        double top = 150;
        int x = 0;
        std::vector<QLineSeries*> spans;
        for (const BreakdownRow& row : table.rows) {
            const BetTypeTotals& t = row.totals.ByType[type];
            if (t.Points == 0) {
                continue;
            }
            ++x;
            const ReturnInterval& interval = row.intervals[type];
            points->append(x, t.Rate());
            auto* span = new QLineSeries;
            span->append(x, interval.low);
            span->append(x, interval.high);
            span->setColor(QColor(60, 90, 200));
            spans.push_back(span);
            categories->append(Q(row.label), x);
            top = std::max(top, interval.high);
        }
        auto* par = new QLineSeries;
        par->setName(QStringLiteral("100%"));
        par->append(0.5, 100);
        par->append(x + 0.5, 100);
        par->setColor(Qt::gray);
        std::vector<QAbstractSeries*> all{par};
        all.insert(all.end(), spans.begin(), spans.end());
        all.push_back(points);
        Attach(rates, all, categories, percent);
        categories->setRange(0.5, x + 0.5);
        percent->setRange(0, std::min(top * 1.05, 1000.0));
        percent->applyNiceNumbers();
        // The interval spans carry no legend entries of their own.
        for (QLineSeries* span : spans) {
            for (QLegendMarker* marker : rates->legend()->markers(span)) {
                marker->setVisible(false);
            }
        }
    }

    // Predicted against paid, log scales, with the line where they agree.
    auto* predicted = new QLogValueAxis;
    predicted->setTitleText(QStringLiteral("予想配当 (円)"));
    predicted->setLabelFormat(QStringLiteral("%.0f"));
    predicted->setBase(10);
    auto* paid = new QLogValueAxis;
    paid->setTitleText(QStringLiteral("払戻 (円)"));
    paid->setLabelFormat(QStringLiteral("%.0f"));
    paid->setBase(10);
    std::vector<QAbstractSeries*> pairs;
    double maxValue = 1000;
    for (const auto& [name, rows, colour] :
         {std::tuple{QStringLiteral("単勝"), &m_report->winCalibration, QColor(200, 80, 40)},
          std::tuple{QStringLiteral("馬連"), &m_report->quinellaCalibration, QColor(40, 120, 60)}}) {
        auto* series = new QLineSeries;
        series->setName(name);
        series->setPointsVisible(true);
        series->setColor(colour);
        for (const CalibrationRow& row : *rows) {
            if (row.meanPredicted > 0 && row.meanPaid > 0) {
                series->append(row.meanPredicted, row.meanPaid);
                maxValue = std::max({maxValue, row.meanPredicted, row.meanPaid});
            }
        }
        pairs.push_back(series);
    }
    auto* agree = new QLineSeries;
    agree->setName(QStringLiteral("予想＝払戻"));
    agree->append(100, 100);
    agree->append(maxValue * 1.2, maxValue * 1.2);
    agree->setColor(Qt::gray);
    pairs.push_back(agree);
    Attach(calibration, pairs, predicted, paid);
    predicted->setRange(100, maxValue * 1.2);
    paid->setRange(100, maxValue * 1.2);
}

bool SeasonReportWindow::ExportCsv(const QString& file) const
{
    const int m = m_shownMethod->currentIndex();
    const int b = m_by->currentIndex();
    if (!m_report || m < 0 || static_cast<std::size_t>(m) >= m_report->methods.size()) {
        return false;
    }
    const MethodReport& method = m_report->methods[static_cast<std::size_t>(m)];
    if (b < 0 || static_cast<std::size_t>(b) >= method.breakdowns.size()) {
        return false;
    }
    return static_cast<bool>(WriteFileAtomic(std::filesystem::path(file.toStdString()),
                                             BreakdownCsv(method, method.breakdowns[static_cast<std::size_t>(b)])));
}

bool SeasonReportWindow::ExportPng(const QString& file)
{
    return grab().save(file, "PNG");
}

} // namespace vornal::ui
