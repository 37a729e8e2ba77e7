#include "gui/shell/HeliarcDlg.h"

#include <QAction>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QScreen>
#include <QTimer>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "gui/shell/ExchangeCommands.h"
#include "gui/shell/HeliarcApp.h"
#include "gui/shell/QueuedRunListener.h"
#include "gui/shell/RunEngine.h"
#include "gui/browser/StandardPanel.h"
#include "core/config/GeneralPrm.h"
#include "core/config/MeasurementPrm.h"
#include "core/config/SearchPrm.h"
#include "core/data/SearchTime.h"
#include "core/data/SpectrumDataReader.h"
#include "core/instrument/Measurement.h"
#include "core/platform/File.h"
#include "core/platform/LocalTime.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/browser/BaseDataThumbnailView.h"
#include "gui/browser/BaseDataThumbnailWnd.h"
#include "gui/common/ColorStatic.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailView.h"
#include "gui/browser/DataThumbnailWnd.h"
#include "gui/browser/RecordListModel.h"
#include "gui/common/ActionButton.h"
#include "gui/dialogs/EditComment.h"
#include "gui/common/Logo.h"
#include "gui/common/Prompter.h"
#include "gui/dialogs/SetGeneral.h"
#include "gui/dialogs/SetMeasurement.h"
#include "gui/common/ViewFactory.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlinkBlue = 0xFF2020;   // RGB(32, 32, 255)
constexpr uint32_t kBlinkGreen = 0x20FF20;  // RGB(32, 255, 32)
constexpr int kBlinkPeriodMs = 1000;
constexpr int kMaxPlotRecords = 10;

const std::string& S(int id) { return platform::LoadString(id); }
QString Q(int id) { return QString::fromStdString(platform::LoadString(id)); }

// A string-table format with its arguments. The formats are the program's own, compiled in.
template <typename... Args>
std::string Format(int id, Args... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, S(id).c_str(), args...);
    return buffer;
}

// The logo static: the logo stretched over the whole control; a click notifies its owner.
class CLogoStatic : public QWidget {
public:
    explicit CLogoStatic(QWidget* parent) : QWidget(parent) {
        setCursor(Qt::PointingHandCursor);
        setMinimumSize(150, 48);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    QSize sizeHint() const override { return QSize(260, 80); }
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && onClick) onClick();
        QWidget::mousePressEvent(event);
    }
    void paintEvent(QPaintEvent*) override {
        if (logo_.deviceIndependentSize().toSize() != size()) logo_ = HeliarcLogo(width(), height(), devicePixelRatioF());
        QPainter(this).drawPixmap(0, 0, logo_);
    }

private:
    QPixmap logo_;
};

}  // namespace

CHeliarcDlg::CHeliarcDlg(std::unique_ptr<CRunEngine> engine, CViewFactory views, QWidget* parent)
    : QDialog(parent), engine_(std::move(engine)), views_(std::move(views)),
      runEvents_(std::make_unique<CQueuedRunListener>(this, static_cast<CRunListener&>(*this))) {
    setObjectName(QStringLiteral("heliarcDialog"));
    engine_->SetListener(runEvents_.get());
    BuildControls();
    ConnectGraphSets();
    Initialize();
}

CHeliarcDlg::~CHeliarcDlg() {
    // The worker must be gone before the dialog that receives its events.
    engine_->Stop();
    runEvents_->Detach();
    engine_->SetListener(nullptr);
    for (auto& set : sets_) set.CloseAll();
    delete dataThumb_.data();
    delete baseThumb_.data();
}

CDataThumbnailWnd* CHeliarcDlg::DataThumbnailWnd() const { return static_cast<CDataThumbnailWnd*>(dataThumb_.data()); }

CBaseDataThumbnailWnd* CHeliarcDlg::BaseDataThumbnailWnd() const {
    return static_cast<CBaseDataThumbnailWnd*>(baseThumb_.data());
}

QAction* CHeliarcDlg::MakeAction(const char* name, int textId, void (CHeliarcDlg::*run)()) {
    auto* action = new QAction(Q(textId), this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, run);
    return action;
}

QPushButton* CHeliarcDlg::Button(QAction* action, int textId, const char* name) {
    return MakeActionButton(Q(textId), action, QString::fromLatin1(name), this);
}

void CHeliarcDlg::BuildControls() {
    // The commands. Buttons and menu items word some of them apart: a button keeps its own text.
    actionStartStop_ = MakeAction("actionStartStop", ids::kStart, &CHeliarcDlg::StartStop);
    QAction* configure = MakeAction("actionMeasurementConfig", ids::kMeasurementConfig, &CHeliarcDlg::MeasurementConfig);
    QAction* trendGraph = MakeAction("actionTrendGraph", ids::kTrendGraph, &CHeliarcDlg::TrendGraph);
    trendGraph->setEnabled(static_cast<bool>(views_.openDataGraph));
    QAction* dataFolder = MakeAction("actionDataFolder", ids::kDataFolder, &CHeliarcDlg::DataFolder);
    QAction* exit = MakeAction("actionExit", ids::kExit, &CHeliarcDlg::reject);
    QAction* retrieval = MakeAction("actionRetrieval", ids::kRetrieval, &CHeliarcDlg::Retrieve);
    QAction* clearSearch = MakeAction("actionClearSearch", ids::kClear, &CHeliarcDlg::ClearSearch);
    QAction* plotMeasured = MakeAction("actionPlotMeasured", ids::kMeasuredDataPlot, &CHeliarcDlg::PlotMeasured);
    plotMeasured->setEnabled(static_cast<bool>(views_.openDataGraph));
    QAction* plotCalculation =
        MakeAction("actionPlotCalculation", ids::kCalculationDataPlot, &CHeliarcDlg::PlotCalculation);
    plotCalculation->setEnabled(static_cast<bool>(views_.openNumericalGraph));
    QAction* plot3D = MakeAction("actionPlot3D", ids::k3DPlot, &CHeliarcDlg::Plot3D);
    plot3D->setEnabled(static_cast<bool>(views_.open3DGraph));
    QAction* importData = MakeAction("actionImport", ids::kImportEllipsis, &CHeliarcDlg::ImportData);
    QAction* exportData = MakeAction("actionExport", ids::kExportEllipsis, &CHeliarcDlg::ExportData);
    QAction* editComment = MakeAction("actionEditComment", ids::kEditCommentEllipsis, &CHeliarcDlg::EditComment);
    QAction* registerStandard =
        MakeAction("actionRegisterStandard", ids::kRegisterAsStandard, &CHeliarcDlg::RegisterStandard);
    QAction* deleteData = MakeAction("actionDeleteData", ids::kDeleteDataMenu, &CHeliarcDlg::DeleteData);
    QAction* removeData = MakeAction("actionRemoveData", ids::kRemoveDataMenu, &CHeliarcDlg::RemoveData);

    // Measurement control.
    auto* control = new QGroupBox(Q(ids::kMeasurementControl), this);
    startStop_ = Button(actionStartStop_, ids::kStart, "startStopButton");
    startStop_->setMinimumWidth(90);
    QPushButton* config = Button(configure, ids::kMeasurementConfig, "measurementConfigButton");
    QPushButton* trend = Button(trendGraph, ids::kTrendGraph, "trendGraphButton");
    auto makeStatic = [this](const char* name) {
        auto* s = new CColorStatic(this);
        s->setObjectName(QString::fromLatin1(name));
        s->setMargin(3);
        s->setMinimumWidth(60);
        return s;
    };
    modeStatic_ = makeStatic("modeText");
    statusStatic_ = makeStatic("statusText");
    clockStatic_ = makeStatic("clockText");
    clockStatic_->setAlignment(Qt::AlignCenter);
    clockStatic_->setMinimumWidth(clockStatic_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);
    comment_ = new QLineEdit(this);
    comment_->setObjectName(QStringLiteral("commentEdit"));
    comment_->setVisible(false);
    comment_->setMaxLength(63);

    auto* controlGrid = new QGridLayout(control);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(startStop_);
    buttonRow->addWidget(config);
    buttonRow->addWidget(trend);
    buttonRow->addStretch(1);
    controlGrid->addLayout(buttonRow, 0, 0, 1, 2);
    controlGrid->addWidget(modeStatic_, 1, 0, 1, 2);
    controlGrid->addWidget(statusStatic_, 2, 0);
    controlGrid->addWidget(clockStatic_, 2, 1);
    controlGrid->setColumnStretch(0, 1);

    auto* logo = new CLogoStatic(this);
    logo->setObjectName(QStringLiteral("logo"));
    logo->onClick = [this] { OpenMakerSite(); };
    QPushButton* folder = Button(dataFolder, ids::kDataFolder, "dataFolderButton");
    QPushButton* exitButton = Button(exit, ids::kExit, "exitButton");
    auto* frameButtons = new QVBoxLayout;
    frameButtons->addWidget(logo, 1);
    auto* frameRow = new QHBoxLayout;
    frameRow->addStretch(1);
    frameRow->addWidget(folder);
    frameRow->addWidget(exitButton);
    frameButtons->addLayout(frameRow);

    auto* top = new QHBoxLayout;
    top->addWidget(control, 3);
    top->addLayout(frameButtons, 2);

    // Data browser.
    auto* browser = new QGroupBox(Q(ids::kDataBrowser), this);
    auto* searchBox = new QGroupBox(Q(ids::kDataRetrieval), browser);
    auto makeEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    searchStart_ = makeEdit("searchFromEdit");
    searchEnd_ = makeEdit("searchToEdit");
    searchComment_ = makeEdit("searchCommentEdit");
    // Room for "YYYY/MM/DD HH:MM:SS" and the frame.
    for (QLineEdit* e : {searchStart_, searchEnd_})
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00:00")) + 16);
    auto makeNote = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setStyleSheet(QStringLiteral("color: #c00000;"));
        l->setWordWrap(true);
        l->setVisible(false);
        return l;
    };
    startNote_ = makeNote("searchFromNote");
    endNote_ = makeNote("searchToNote");
    damageNote_ = makeNote("damagedFilesNote");
    QPushButton* retrieve = Button(retrieval, ids::kRetrieval, "retrievalButton");
    retrieve->setDefault(true);
    retrieve->setAutoDefault(true);
    QPushButton* clear = Button(clearSearch, ids::kClear, "clearSearchButton");
    auto* search = new QGridLayout(searchBox);
    auto label = [this](int id, QWidget* buddy) {
        auto* l = new QLabel(Q(id), this);
        l->setBuddy(buddy);
        return l;
    };
    search->addWidget(label(ids::kStartTime, searchStart_), 0, 0);
    search->addWidget(searchStart_, 0, 1);
    search->addWidget(label(ids::kEndTime, searchEnd_), 0, 2);
    search->addWidget(searchEnd_, 0, 3);
    search->addWidget(label(ids::kComment, searchComment_), 0, 4);
    search->addWidget(searchComment_, 0, 5);
    search->addWidget(retrieve, 0, 6);
    search->addWidget(clear, 0, 7);
    search->addWidget(startNote_, 1, 1);
    search->addWidget(endNote_, 1, 3);
    search->addWidget(damageNote_, 2, 0, 1, 8);
    search->setColumnStretch(1, 2);
    search->setColumnStretch(3, 2);
    search->setColumnStretch(5, 3);

    list_ = new CDataListCtrl(browser);
    list_->setObjectName(QStringLiteral("recordList"));
    list_->setMinimumHeight(160);

    auto* io = new QGroupBox(Q(ids::kDataInputOutput), browser);
    auto* ioGrid = new QGridLayout(io);
    ioGrid->addWidget(Button(deleteData, ids::kDeleteDataButton, "deleteDataButton"), 0, 0);
    ioGrid->addWidget(Button(removeData, ids::kRemoveDataButton, "removeDataButton"), 0, 1);
    ioGrid->addWidget(Button(editComment, ids::kEditCommentEllipsis, "editCommentButton"), 0, 2);
    ioGrid->addWidget(Button(registerStandard, ids::kRegisterAsStandard, "registerStandardButton"), 1, 0, 1, 2);
    ioGrid->addWidget(Button(importData, ids::kImportEllipsis, "importButton"), 1, 2);
    ioGrid->addWidget(Button(exportData, ids::kExportEllipsis, "exportButton"), 1, 3);
    auto* plot = new QGroupBox(Q(ids::kPlot), browser);
    auto* plotGrid = new QGridLayout(plot);
    plotGrid->addWidget(Button(plotMeasured, ids::kMeasuredData, "plotMeasuredButton"), 0, 0);
    plotGrid->addWidget(Button(plotCalculation, ids::kCalculationData, "plotCalculationButton"), 0, 1);
    plotGrid->addWidget(Button(plot3D, ids::k3D, "plot3DButton"), 1, 0);
    auto* actions = new QHBoxLayout;
    actions->addWidget(io, 3);
    actions->addWidget(plot, 2);

    auto* standard = standardPanel_ = new CStandardPanel(standard_, sets_[kSetStandard], views_, browser);
    standard->setObjectName(QStringLiteral("standardPanel"));
    standardList_ = standardPanel_->List();
    connect(standardPanel_, &CStandardPanel::standardChanged, this, &CHeliarcDlg::RefreshTrend);

    auto* browserLayout = new QVBoxLayout(browser);
    browserLayout->addWidget(searchBox);
    browserLayout->addWidget(list_, 1);
    browserLayout->addLayout(actions);
    browserLayout->addWidget(standard);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(browser, 1);

    // The "Data" popup of the record list.
    dataMenu_ = new QMenu(this);
    dataMenu_->setObjectName(QStringLiteral("dataMenu"));  // the measured data thumbnails show it too
    dataMenu_->addActions({plotMeasured, plotCalculation, plot3D});
    dataMenu_->addSeparator();
    dataMenu_->addActions({importData, exportData});
    dataMenu_->addSeparator();
    dataMenu_->addActions({editComment, registerStandard});
    dataMenu_->addSeparator();
    dataMenu_->addActions({deleteData, removeData});

    // The version item: in a Help menu where a desktop user looks for it, and in the dialog's own
    // context menu (a right click on the dialog's background), as there is no system menu here.
    if (!S(ids::kVersionMenu).empty()) {
        QAction* about = MakeAction("actionAbout", ids::kVersionMenu, &CHeliarcDlg::About);
        addAction(about);
        setContextMenuPolicy(Qt::ActionsContextMenu);
        auto* menuBar = new QMenuBar(this);
        menuBar->setObjectName(QStringLiteral("menuBar"));
        QMenu* help = menuBar->addMenu(Q(ids::kHelpMenu));
        help->setObjectName(QStringLiteral("helpMenu"));
        help->addAction(about);
        main->setMenuBar(menuBar);
    }

    list_->onSelectionChanged = [this] {
        if (!suppress_) RebuildSelection();
    };
    list_->onClicked = [this](int row) { emit ensureVisible(row); };
    list_->onDoubleClicked = [this](int) { Post(&CHeliarcDlg::PlotMeasured); };
    list_->onContextMenu = [this](const QPoint& at) { ShowDataMenu(at); };
    list_->onSelectAll = [this] { SelectAll(); };
    standardList_->SetCellText([this](int row, int column) { return StandardCellText(row, column); });
}

void CHeliarcDlg::CreateThumbnailFrames() {
    const QRect work = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                        : QRect(0, 0, 1280, 800);
    auto* data = new CDataThumbnailWnd(Q(ids::kMeasuredDataThumbnail));
    data->setObjectName(QStringLiteral("measuredThumbnailFrame"));
    data->setGeometry(work.left(), work.top(), 160, std::max(1, work.bottom() + 1 - 120 - work.top()));
    auto* base = new CBaseDataThumbnailWnd(Q(ids::kStandardDataThumbnail));
    base->setObjectName(QStringLiteral("standardThumbnailFrame"));
    base->setGeometry(work.left(), work.bottom() + 1 - 120, 160, 120);
    dataThumb_ = data;
    baseThumb_ = base;
    if (CHeliarcApp* app = CHeliarcApp::Instance()) {
        app->m_pDataThumbnailWnd = data;
        app->m_pBaseDataThumbnailWnd = base;
    }
    data->show();
    base->show();
    // Centre the dialog in the work area without resizing it.
    const QSize size = sizeHint().expandedTo(QSize(860, 600)).boundedTo(work.size());
    resize(size);
    move(work.left() + (work.width() - size.width()) / 2, work.top() + (work.height() - size.height()) / 2);
}

void CHeliarcDlg::Initialize() {
    setWindowTitle(Q(ids::kAppTitle));
    setWindowIcon(HeliarcIcon());
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    CreateThumbnailFrames();
    latest_.SetTime(0);
    clockStatic_->SetColors(kWhite, kBlack);
    modeStatic_->SetColors(kWhite, kBlack);
    statusStatic_->SetColors(kWhite, kBlack);
    mode_ = S(ids::kManualMeasurement);
    status_ = S(ids::kStandby);
    ShowClock();
    clockTimer_ = startTimer(1000);
    BuildModeText();
    // From here on the registered history alone is the standard data.
    standard_.SetJisEnabled(0);

    // The value columns name their units and line their numbers up on the right; each is wide
    // enough for its heading.
    auto value = [this](int textId) {
        const std::string& heading = S(textId);
        return CDataListCtrl::Column{heading, std::max(list_->TextWidth("0.0000") + 30, list_->TextWidth(heading) + 16),
                                     true};
    };
    const std::vector<CDataListCtrl::Column> columns = {
        {S(ids::kColumnMeasurementTime), list_->TextWidth("YYYY/MM/DD HH:MM:SS") + 20},
        {S(ids::kComment), list_->TextWidth("XXXXXXXXXXXXXXXX") + 30},
        value(ids::kColumnPar),
        value(ids::kLabelPhotonUmolM2S),
        value(ids::kLabelLuxLx),
        value(ids::kLabelLongitudeDeg),
        value(ids::kLabelLatitudeDeg),
        value(ids::kLabelAltitudeM),
    };
    std::vector<CRecordListModel::Column> modelColumns;
    for (const auto& c : columns) modelColumns.push_back({c.heading, c.rightAligned});
    recordModel_ = std::make_unique<CRecordListModel>(dataSet_, std::move(modelColumns));
    list_->setModel(recordModel_.get());
    for (std::size_t i = 0; i < columns.size(); ++i) list_->setColumnWidth(static_cast<int>(i), columns[i].width);
    standardList_->SetColumns(columns);
    RefreshStandardList();
    // Wide enough for every column of the record list where the screen allows, still centred.
    int columnsWidth = 0;
    for (const auto& c : columns) columnsWidth += c.width;
    const QRect work = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    const int wanted = std::min(columnsWidth + 100, work.width());
    if (wanted > width()) {
        resize(wanted, height());
        move(work.left() + (work.width() - width()) / 2, y());
    }

    if (dataThumb_ && views_.measuredThumbnailView)
        DataThumbnailWnd()->SetView(views_.measuredThumbnailView(dataThumb_, dataSet_, selection_));
    if (baseThumb_ && views_.standardThumbnailView)
        BaseDataThumbnailWnd()->SetView(views_.standardThumbnailView(baseThumb_, standard_));
    ConnectThumbnails();

    CSearchPrm search;
    search.Load();
    searchStart_->setText(QString::fromStdString(search.m_SEARCH_START_DATE_TIME.Get()));
    searchEnd_->setText(QString::fromStdString(search.m_SEARCH_END_DATE_TIME.Get()));
    searchComment_->setText(QString::fromStdString(search.m_SEARCH_COMMENT.Get()));
    PushTexts();
    Retrieve();
    openModal_ = 0;
    suppress_ = 0;

    // Every start of the program returns to automatic exposure.
    CMeasurementPrm measurement;
    measurement.Load();
    measurement.m_EXPOSED_TIME = 0;
    measurement.Save();
}

// ---------------------------------------------------------------------------------------------
// Keys, timers and commands

void CHeliarcDlg::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the program; Enter goes to the default button ("Retrieval").
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CHeliarcDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == clockTimer_) ShowClock();
    QDialog::timerEvent(event);
}

void CHeliarcDlg::OpenMakerSite() { Prompter::Current().OpenUrl(kMakerSite); }

void CHeliarcDlg::ExportData() { ExportSelection(this, dataSet_, selection_, standard_.Current()); }

void CHeliarcDlg::ImportData() {
    if (!ImportFiles(this, *engine_)) return;
    // The import moved the history's entries with their records: read them anew.
    standard_ = CBaseDataSet();
    standard_.SetJisEnabled(0);
    RefreshStandardList();
    Post(&CHeliarcDlg::Retrieve);
}

// A status text that arrives late must not put "Measuring" over "Standby": each needs a run.
void CHeliarcDlg::OnExposure(int exposureMs, bool dark) {
    if (!engine_->IsMeasuring()) return;
    status_ = S(dark ? ids::kDarkMeasuring : ids::kMeasuring) + Format(ids::kExposureSuffix, exposureMs);
    PushTexts();
}

void CHeliarcDlg::OnTransferProgress(int number, int count) {
    if (!engine_->IsMeasuring()) return;
    status_ = S(ids::kDataTransferring) +
              Format(ids::kTransferProgressSuffix, static_cast<unsigned>(number), static_cast<unsigned>(count));
    PushTexts();
}

void CHeliarcDlg::OnWaiting(platform::CalTime nextStart) {
    if (!engine_->IsMeasuring()) return;
    // After the day's window the start is another day's: say which.
    status_ = Format(ids::kWaitingStartAt, CMeasurement::NextStartText(nextStart, platform::Now()).c_str());
    PushTexts();
}

void CHeliarcDlg::OnMeasuring() {
    if (!engine_->IsMeasuring()) return;
    status_ = S(ids::kMeasuring);
    PushTexts();
}

void CHeliarcDlg::OnStored(const CSpectrumData&, const StoredPlace& place, bool runEnds) {
    // An interval run keeps the newest record in view while the user watches the list's end.
    ReadBackStored(place, runEnds || LastRowVisible());
    if (!runEnds || !engine_->IsMeasuring()) return;
    // A manual measurement can be over in a fraction of a second: "Measuring" stays up for
    // at least one blink period so the user sees that the press did something.
    const int64_t shown = QDateTime::currentMSecsSinceEpoch() - runStartedMs_;
    if (shown >= kBlinkPeriodMs) {
        StartStop();
    } else {
        const int64_t run = runStartedMs_;
        QTimer::singleShot(static_cast<int>(kBlinkPeriodMs - shown), this, [this, run] {
            if (engine_->IsMeasuring() && runStartedMs_ == run) StartStop();
        });
    }
}

void CHeliarcDlg::OnFinished() {
    if (engine_->IsMeasuring()) StartStop();
}

void CHeliarcDlg::OnError(const std::string& text) {
    if (engine_->IsMeasuring()) StartStop();
    ShowMessageText(this, S(ids::kMeasurementError) + "\r\n" + text);
}

// ---------------------------------------------------------------------------------------------
// Measurement control

void CHeliarcDlg::StartStop() {
    if (engine_->IsMeasuring()) StopRun();
    else StartRun();
}

void CHeliarcDlg::StartRun() {
    CMeasurementPrm settings;
    settings.Load();
    settings.m_Memo = comment_->text().toStdString();
    if (!engine_->Start(settings)) {
        ShowMessageText(this, S(ids::kMeasurementStartFailure) + "\r\n" + engine_->GetErrorText());
        return;
    }
    switch (settings.m_MEASUREMENT_TYPE.Get()) {
        case 0:
            status_ = S(ids::kMeasuring);
            actionStartStop_->setEnabled(false);
            statusStatic_->SetBlinkColors(kBlack, kWhite, kWhite, kBlinkBlue);
            break;
        case 1:
            statusStatic_->SetBlinkColors(kBlack, kWhite, kWhite, kBlinkBlue);
            break;
        default:
            status_ = S(ids::kDataTransferring);
            actionStartStop_->setEnabled(false);
            statusStatic_->SetBlinkColors(kBlack, kWhite, kWhite, kBlinkGreen);
            break;
    }
    runStartedMs_ = QDateTime::currentMSecsSinceEpoch();
    startStop_->setText(Q(ids::kStop));
    actionStartStop_->setText(Q(ids::kStop));
    comment_->setEnabled(false);
    modeStatic_->SetColors(kBlack, kWhite);
    clockStatic_->SetColors(kBlack, kWhite);
    statusStatic_->StartBlink(kBlinkPeriodMs);
    PushTexts();
}

void CHeliarcDlg::StopRun() {
    engine_->Stop();
    status_ = S(ids::kStandby);
    startStop_->setText(Q(ids::kStart));
    actionStartStop_->setText(Q(ids::kStart));
    comment_->setEnabled(true);
    actionStartStop_->setEnabled(true);
    statusStatic_->StopBlink();
    statusStatic_->SetColors(kWhite, kBlack);
    clockStatic_->SetColors(kWhite, kBlack);
    modeStatic_->SetColors(kWhite, kBlack);
    PushTexts();
}

void CHeliarcDlg::BuildModeText() {
    CMeasurementPrm prm;
    prm.Load();
    switch (prm.m_MEASUREMENT_TYPE.Get()) {
        case 0: mode_ = S(ids::kManualMeasurement); break;
        case 1:
            mode_ = Format(ids::kIntervalModeFormat,
                           platform::FormatLocal(prm.m_INTERVAL_MEASUREMENT_START_TIME.Get(), "%H:%M:%S").c_str(),
                           platform::FormatLocal(prm.m_INTERVAL_MEASUREMENT_END_TIME.Get(), "%H:%M:%S").c_str(),
                           prm.m_INTERVAL_MEASUREMENT_SPAN.Get());
            break;
        default: mode_ = S(ids::kDataTransfer); break;
    }
    PushTexts();
}

void CHeliarcDlg::ShowClock() {
    clockStatic_->setText(QString::fromStdString(platform::FormatLocal(platform::Now(), "%H:%M:%S")));
}

void CHeliarcDlg::PushTexts() {
    modeStatic_->setText(QString::fromStdString(mode_));
    statusStatic_->setText(QString::fromStdString(status_));
}

bool CHeliarcDlg::LastRowVisible() const {
    const int n = list_->ItemCount();
    if (n == 0) return true;
    const QRect last = list_->visualRect(list_->model()->index(n - 1, 0));
    return last.isValid() && list_->viewport()->rect().intersects(last);
}

void CHeliarcDlg::ReadBackStored(const StoredPlace& place, bool follow) {
    CGeneralPrm general;
    general.Load();
    std::string path;
    platform::File file;
    // The record as its day file holds it, where the engine wrote it: others may have appended since.
    CSpectrumDataReader reader;
    const bool ok = place.offset >= 0 && general.DailyFilePath(place.fileDate, path) &&
                    file.Open(path, platform::File::Mode::Read) && file.Seek(place.offset) &&
                    reader.ReadRecord(file, latest_) == 1;
    if (!ok) {
        ShowMessage(this, ids::kDataReadingFailure);
        return;
    }
    if (follow) followTime_ = latest_.GetTime();
    // Redrawn where it is: a record stored while the user works elsewhere brings no window forward
    // and takes no keyboard focus (typing into the main dialog would land in the graph).
    RefreshTrend();
    // The list gains the record where the search shows it, without searching the folder again.
    if (dataSet_.AddStored(latest_, place.fileDate, place.offset)) RefreshRecordList(SelectedKeys());
    FollowStored();
}

// The trend window shows the latest record against the current standard data.
void CHeliarcDlg::RefreshTrend() {
    QWidget* trend = sets_[kSetTrend].At(0);
    if (trend && latest_.GetTime() != 0 && views_.showLatest) views_.showLatest(trend, latest_, standard_.Current());
}

void CHeliarcDlg::MeasurementConfig() {
    if (engine_->IsMeasuring()) {
        ShowMessage(this, ids::kCannotOperateDuringMeasurement, Prompter::Icon::Information);
        return;
    }
    CSetMeasurement dialog(this);
    if (Prompter::Current().RunModal(dialog) != QDialog::Rejected) BuildModeText();
}

void CHeliarcDlg::TrendGraph() {
    if (latest_.GetTime() == 0) {
        ShowMessage(this, ids::kNoMeasuredData, Prompter::Icon::Information);
        return;
    }
    if (!views_.openDataGraph) return;
    CFrameSet& trend = sets_[kSetTrend];
    QWidget* frame = trend.At(0);
    if (frame) {
        frame->showNormal();
        frame->raise();
        frame->activateWindow();
    } else {
        frame = views_.openDataGraph(S(ids::kTrendData));
        if (!frame) return;
        trend.Add(frame);
    }
    if (views_.showLatest) views_.showLatest(frame, latest_, standard_.Current());
}

void CHeliarcDlg::DataFolder() {
    CSetGeneral dialog(this);
    if (Prompter::Current().RunModal(dialog) == QDialog::Accepted) recordModel_->Searched();
}

void CHeliarcDlg::About() {
    CAboutDlg dialog(this);
    Prompter::Current().RunModal(dialog);
}

void CHeliarcDlg::reject() {
    if (openModal_ > 0) {
        ShowMessage(this, ids::kExitAfterClosingDialogs);
        return;
    }
    if (engine_->IsMeasuring()) {
        if (!Prompter::Current().AskYesNo(this, S(ids::kConfirmStopMeasurement))) return;
        engine_->Stop();
    }
    for (auto& set : sets_) set.CloseAll();
    if (auto* f = DataThumbnailWnd()) {
        f->AllowClose();
        f->close();
    }
    if (auto* f = BaseDataThumbnailWnd()) {
        f->AllowClose();
        f->close();
    }
    QDialog::reject();
}

// ---------------------------------------------------------------------------------------------
// Data browser

void CHeliarcDlg::Retrieve() {
    const std::string startText = searchStart_->text().toStdString();
    const std::string endText = searchEnd_->text().toStdString();
    const std::string commentText = searchComment_->text().toStdString();
    platform::CalTime start = 0, end = 0;
    const bool startIsTime = startText.empty() || ReadSearchTime(startText, start) == SearchTimeRead::Time;
    const bool endIsTime = endText.empty() || ReadSearchTime(endText, end) == SearchTimeRead::Time;
    ShowSearchNotes(startIsTime, endIsTime,
                    !startText.empty() && !endText.empty() && startIsTime && endIsTime && end < start);
    const RecordKeys keep = SelectedKeys();
    // A box its note refuses is not searched with some other date: the list stays empty until the
    // text names a time.
    if (startIsTime && endIsTime)
        dataSet_.Search(startText.empty() ? nullptr : &start, endText.empty() ? nullptr : &end,
                        commentText.empty() ? nullptr : commentText.c_str());
    else
        dataSet_.Clear();
    QStringList damage;
    for (const std::string& note : dataSet_.DamageNotes()) damage << QString::fromStdString(note);
    damageNote_->setText(damage.join(QLatin1Char('\n')));
    damageNote_->setVisible(!damage.isEmpty());
    RefreshRecordList(keep);
    FollowStored();
    CSearchPrm search;
    search.Load();
    search.m_SEARCH_START_DATE_TIME = startText;
    search.m_SEARCH_END_DATE_TIME = endText;
    search.m_SEARCH_COMMENT = commentText;
    search.Save();
}

void CHeliarcDlg::FollowStored() {
    if (followTime_ == 0) return;
    // The record just stored comes into view (the last one of that time: times may repeat).
    for (int i = dataSet_.Count() - 1; i >= 0; --i)
        if (dataSet_.At(i).Time == followTime_) {
            list_->EnsureRowVisible(i);
            break;
        }
    followTime_ = 0;
}

void CHeliarcDlg::ClearSearch() {
    searchStart_->clear();
    searchEnd_->clear();
    searchComment_->clear();
}

void CHeliarcDlg::ShowSearchNotes(bool startIsTime, bool endIsTime, bool endBeforeStart) {
    startNote_->setText(startIsTime ? QString() : Q(ids::kNotASearchTime));
    endNote_->setText(!endIsTime ? Q(ids::kNotASearchTime) : endBeforeStart ? Q(ids::kEndBeforeStart) : QString());
    startNote_->setVisible(!startNote_->text().isEmpty());
    endNote_->setVisible(!endNote_->text().isEmpty());
}

CHeliarcDlg::RecordKeys CHeliarcDlg::SelectedKeys() const {
    RecordKeys keys;
    for (int row : selection_)
        if (row >= 0 && row < dataSet_.Count()) keys.emplace(dataSet_.At(row).FileDate, dataSet_.At(row).FileOffset);
    return keys;
}

void CHeliarcDlg::RefreshRecordList(const RecordKeys& keep) {
    selection_.clear();
    // Rows are selected by the records they show, never by their numbers: after a search or a
    // delete the same records stay highlighted, and rows now holding other records are not.
    std::set<int> rows;
    if (!keep.empty())
        for (int i = 0; i < dataSet_.Count(); ++i)
            if (keep.count({dataSet_.At(i).FileDate, dataSet_.At(i).FileOffset})) rows.insert(i);
    ++suppress_;
    recordModel_->Searched();
    list_->SetSelectedRows(rows);
    --suppress_;
    RebuildSelection();
    emit dataSetChanged();
}

void CHeliarcDlg::RefreshStandardList() { standardPanel_->Refresh(); }

void CHeliarcDlg::RebuildSelection() {
    selection_ = list_->SelectedRows();
    emit selectionChanged();
}

void CHeliarcDlg::ApplySelectionToList() {
    ++suppress_;
    list_->SetSelectedRows(selection_);
    --suppress_;
}

void CHeliarcDlg::SelectAll() {
    ++suppress_;
    list_->SelectAllRows();
    --suppress_;
    RebuildSelection();
}

std::string CHeliarcDlg::StandardCellText(int row, int column) {
    if (row < 0 || row >= standard_.ItemCount()) return {};
    return CRecordListModel::CellText(standard_.Item(row), column);
}

void CHeliarcDlg::ShowDataMenu(const QPoint& globalPos) { dataMenu_->popup(globalPos); }

bool CHeliarcDlg::HaveSelection() {
    if (!selection_.empty()) return true;
    ShowMessage(this, ids::kSelectAData, Prompter::Icon::Information);
    return false;
}

void CHeliarcDlg::DeleteData() {
    if (!HaveSelection()) return;
    if (!Prompter::Current().AskYesNo(this, S(ids::kConfirmDelete))) return;
    const std::set<int> rows = selection_;
    const RecordKeys keep = SelectedKeys();  // records that could not be deleted stay selected
    std::vector<CSpectrumDataSet::Refused> refused;
    dataSet_.Delete(rows, &refused);
    std::set<int> removed = rows;
    for (const auto& r : refused) removed.erase(r.index);
    recordModel_->Removed(removed);
    RefreshRecordList(keep);
    ShowRefusals(refused, static_cast<int>(rows.size()));
}

void CHeliarcDlg::ShowRefusals(const std::vector<CSpectrumDataSet::Refused>& refused, int selected) {
    if (refused.empty()) return;
    // One message for the whole selection; a long list names the first records only.
    constexpr std::size_t kNamed = 10;
    std::string text = S(ids::kUpdateDataFailure);
    for (std::size_t i = 0; i < refused.size() && i < kNamed; ++i) text += "\r\n" + refused[i].message;
    if (refused.size() > kNamed) text += "\r\n" + Format(ids::kAndMore, static_cast<int>(refused.size() - kNamed));
    text += "\r\n" + Format(ids::kRecordsChangedCount, selected - static_cast<int>(refused.size()), selected);
    ShowMessageText(this, text, Prompter::Icon::Warning);
}

void CHeliarcDlg::RemoveData() {
    if (!HaveSelection()) return;
    const std::set<int> rows = selection_;
    dataSet_.RemoveEntries(rows);
    recordModel_->Removed(rows);
    RefreshRecordList();  // the removed records were the selection
}

void CHeliarcDlg::EditComment() {
    if (!HaveSelection()) return;
    CEditComment dialog(this);
    if (selection_.size() == 1) dialog.SetComment(dataSet_.At(*selection_.begin()).Memo);
    if (Prompter::Current().RunModal(dialog) != QDialog::Accepted) return;
    const std::set<int> rows = selection_;
    std::vector<CSpectrumDataSet::Refused> refused;
    dataSet_.SetComment(rows, dialog.Comment(), &refused);
    RefreshRecordList(SelectedKeys());
    ShowRefusals(refused, static_cast<int>(rows.size()));
}

void CHeliarcDlg::RegisterStandard() {
    if (selection_.size() != 1) {
        ShowMessage(this, ids::kSelectOneData, Prompter::Icon::Information);
        return;
    }
    if (!dataSet_.RegisterAsStandard(*selection_.begin(), standard_))
        ShowMessage(this, ids::kCannotSaveData, Prompter::Icon::Warning);
    RefreshStandardList();
}

void CHeliarcDlg::PlotMeasured() {
    // Without the spectrum window (a double click still asks) there is nothing to offer.
    if (!views_.openDataGraph) return;
    if (!HaveSelection()) return;
    if (selection_.size() > static_cast<std::size_t>(kMaxPlotRecords)) {
        ShowMessage(this, ids::kTooManyRecordsToDisplay, Prompter::Icon::Information);
        return;
    }
    const bool one = selection_.size() == 1;
    std::vector<CSpectrumData> records;
    for (int row : selection_) {
        std::string error;
        const std::shared_ptr<const CSpectrumData> r = dataSet_.Record(row, &error);
        if (!r) {
            ShowMessageText(this, S(ids::kDataReadingFailure) + "\r\n" + error, Prompter::Icon::Warning);
            return;
        }
        records.push_back(*r);
    }
    QWidget* frame = views_.openDataGraph(S(ids::kDataGraph));
    if (!frame) return;
    if (one) {
        sets_[kSetMeasured].Add(frame);
        if (views_.showMeasured) views_.showMeasured(frame, records.front(), standard_.Current());
    } else {
        sets_[kSetPlural].Add(frame);
        if (views_.showPlural) views_.showPlural(frame, records, standard_.Current());
    }
}

void CHeliarcDlg::PlotCalculation() {
    if (!views_.openNumericalGraph) return;
    if (selection_.size() < 2) {
        ShowMessage(this, ids::kSelectMoreThanOneRecord, Prompter::Icon::Information);
        return;
    }
    CSpectrumDataSet records;
    records.CopySubset(dataSet_, selection_);
    if (QWidget* frame = views_.openNumericalGraph(S(ids::kCalculationDataGraph), records))
        sets_[kSetNumerical].Add(frame);
}

void CHeliarcDlg::Plot3D() {
    if (!views_.open3DGraph) return;
    if (selection_.size() < 2) {
        ShowMessage(this, ids::kSelectMoreThanOneRecord, Prompter::Icon::Information);
        return;
    }
    CSpectrumDataSet records;
    records.CopySubset(dataSet_, selection_);
    if (QWidget* frame = views_.open3DGraph(S(ids::k3DGraph), records, standard_.Current()))
        sets_[kSet3D].Add(frame);
}

void CHeliarcDlg::ShowNeighbour(QWidget* frame, int64_t t, bool next) {
    if (!views_.showMeasured || !frame) return;
    const int n = dataSet_.Count();
    int found = -1;
    // Records can share a second. When the one selected row shows the window's time, it is the
    // window's record (the selection follows the window), and its neighbour in the list is next.
    const int shown = selection_.size() == 1 ? *selection_.begin() : -1;
    if (shown >= 0 && shown < n && dataSet_.At(shown).Time == t) {
        const int neighbour = next ? shown + 1 : shown - 1;
        if (neighbour >= 0 && neighbour < n) found = neighbour;
        else return;
    } else if (next) {
        for (int i = 0; i < n && found < 0; ++i)
            if (dataSet_.At(i).Time > t) found = i;
    } else {
        for (int i = n - 1; i >= 0 && found < 0; --i)
            if (dataSet_.At(i).Time < t) found = i;
    }
    if (found < 0) return;
    std::string error;
    const std::shared_ptr<const CSpectrumData> record = dataSet_.Record(found, &error);
    if (!record) {
        ShowMessageText(this, S(ids::kDataReadingFailure) + "\r\n" + error, Prompter::Icon::Warning);
        return;
    }
    views_.showMeasured(frame, *record, standard_.Current());
    // The list's selection moves with the window, so the highlighted record is the one shown.
    selection_ = {found};
    ApplySelectionToList();
    RebuildSelection();
    list_->EnsureRowVisible(found);
    emit ensureVisible(found);
}

void CHeliarcDlg::Post(void (CHeliarcDlg::*run)()) {
    QMetaObject::invokeMethod(this, [this, run] { (this->*run)(); }, Qt::QueuedConnection);
}

void CHeliarcDlg::ConnectGraphSets() {
    for (CFrameSet& set : sets_) {
        connect(&set, &CFrameSet::modalOpened, this, [this] { ++openModal_; });
        connect(&set, &CFrameSet::modalClosed, this, [this] { --openModal_; });
        connect(&set, &CFrameSet::previousRequested, this,
                [this](QWidget* frame, qint64 shownTime) { ShowNeighbour(frame, shownTime, false); });
        connect(&set, &CFrameSet::nextRequested, this,
                [this](QWidget* frame, qint64 shownTime) { ShowNeighbour(frame, shownTime, true); });
    }
}

void CHeliarcDlg::ConnectThumbnails() {
    for (CThumbnailFrame* frame : {static_cast<CThumbnailFrame*>(DataThumbnailWnd()),
                                   static_cast<CThumbnailFrame*>(BaseDataThumbnailWnd())}) {
        if (!frame) continue;
        connect(frame, &CThumbnailFrame::modalOpened, this, [this] { ++openModal_; });
        connect(frame, &CThumbnailFrame::modalClosed, this, [this] { --openModal_; });
    }
    if (auto* view = qobject_cast<CDataThumbnailView*>(dataThumb_ ? DataThumbnailWnd()->View() : nullptr)) {
        connect(this, &CHeliarcDlg::selectionChanged, view, &CDataThumbnailView::SelectionChanged);
        connect(this, &CHeliarcDlg::dataSetChanged, view, &CDataThumbnailView::DataSetChanged);
        connect(this, &CHeliarcDlg::ensureVisible, view, &CDataThumbnailView::EnsureVisible);
        connect(view, &CDataThumbnailView::selectionChanged, this, &CHeliarcDlg::ApplySelectionToList);
        connect(view, &CDataThumbnailView::recordClicked, this, [this](int row) { list_->EnsureRowVisible(row); });
        connect(view, &CDataThumbnailView::plotRequested, this, [this] { Post(&CHeliarcDlg::PlotMeasured); });
        connect(view, &CDataThumbnailView::contextMenuRequested, dataMenu_, [this](const QPoint& at) { dataMenu_->popup(at); });
    }
    if (auto* view = qobject_cast<CBaseDataThumbnailView*>(baseThumb_ ? BaseDataThumbnailWnd()->View() : nullptr)) {
        connect(standardPanel_, &CStandardPanel::standardChanged, view, &CBaseDataThumbnailView::Render);
        connect(view, &CBaseDataThumbnailView::contextMenuRequested, standardPanel_,
                [this](const QPoint& at) { standardPanel_->Menu()->popup(at); });
    }
}
