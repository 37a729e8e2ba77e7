#include "gui/shell/HeliarcDlg.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "core/config/MeasurementPrm.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/browser/BaseDataThumbnailView.h"
#include "gui/browser/BaseDataThumbnailWnd.h"
#include "gui/browser/DataBrowser.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailView.h"
#include "gui/browser/DataThumbnailWnd.h"
#include "gui/browser/RecordListModel.h"
#include "gui/browser/StandardPanel.h"
#include "gui/common/ActionButton.h"
#include "gui/common/GraphFrame.h"
#include "gui/common/WindowMemory.h"
#include "gui/common/WindowPlacement.h"
#include "gui/common/Logo.h"
#include "gui/common/Prompter.h"
#include "gui/common/UiText.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/dialogs/GuideWindow.h"
#include "gui/dialogs/SetGeneral.h"
#include "gui/shell/HeliarcApp.h"
#include "gui/shell/MeasurementPanel.h"
#include "gui/shell/RunEngine.h"

namespace {

constexpr const char* kWindowName = "CHeliarcDlg";  // its place in the remembered windows

using uitext::Format;
using uitext::Q;
using uitext::S;

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
    : QDialog(parent), engine_(std::move(engine)), views_(std::move(views)) {
    setObjectName(QStringLiteral("heliarcDialog"));
    BuildControls();
    ConnectGraphSets();
    Initialize();
}

CHeliarcDlg::~CHeliarcDlg() {
    // The worker must be gone before the panel that receives its events.
    engine_->Stop();
    panel_->Detach();
    for (auto& set : sets_) set.CloseAll();
    delete dataThumb_.data();
    delete baseThumb_.data();
}

QAction* CHeliarcDlg::StartStopAction() const { return panel_->StartStopAction(); }
CSpectrumDataSet& CHeliarcDlg::DataSet() { return browser_->DataSet(); }
std::set<int> CHeliarcDlg::Selection() const { return browser_->Selection(); }
const CSpectrumData& CHeliarcDlg::Latest() const { return panel_->Latest(); }
const std::string& CHeliarcDlg::StatusText() const { return panel_->StatusText(); }
const std::string& CHeliarcDlg::ModeText() const { return panel_->ModeText(); }
CDataListCtrl* CHeliarcDlg::RecordList() const { return browser_->List(); }
CDataListCtrl* CHeliarcDlg::StandardList() const { return standardPanel_->List(); }
void CHeliarcDlg::Retrieve() { browser_->Retrieve(); }
void CHeliarcDlg::RefreshStandardList() { standardPanel_->Refresh(); }

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

void CHeliarcDlg::BuildControls() {
    QAction* dataFolder = MakeAction("actionDataFolder", ids::kDataFolder, &CHeliarcDlg::DataFolder);
    QAction* exit = MakeAction("actionExit", ids::kExit, &CHeliarcDlg::reject);

    panel_ = new CMeasurementPanel(*engine_, standard_, sets_[kSetTrend], sets_[kSetQuality], views_, this);
    connect(panel_, &CMeasurementPanel::recordStored, this, &CHeliarcDlg::OnRecordStored);
    connect(panel_, &CMeasurementPanel::transferFinished, this, &CHeliarcDlg::OnTransferFinished);

    auto* logo = new CLogoStatic(this);
    logo->setObjectName(QStringLiteral("logo"));
    logo->onClick = [this] { OpenMakerSite(); };
    auto* frameButtons = new QVBoxLayout;
    frameButtons->addWidget(logo, 1);
    auto* frameRow = new QHBoxLayout;
    frameRow->addStretch(1);
    frameRow->addWidget(MakeActionButton(Q(ids::kDataFolder), dataFolder, QStringLiteral("dataFolderButton"), this));
    frameRow->addWidget(MakeActionButton(Q(ids::kExit), exit, QStringLiteral("exitButton"), this));
    frameButtons->addLayout(frameRow);

    auto* top = new QHBoxLayout;
    top->addWidget(panel_, 3);
    top->addLayout(frameButtons, 2);

    auto* browserBox = new QGroupBox(Q(ids::kDataBrowser), this);
    browser_ = new CDataBrowser(
        standard_, {sets_[kSetMeasured], sets_[kSetPlural], sets_[kSetNumerical], sets_[kSet3D], sets_[kSetHeatMap], sets_[kSetQuality]}, views_,
        [this] { return engine_->IsMeasuring(); }, browserBox);
    standardPanel_ = new CStandardPanel(standard_, sets_[kSetStandard], views_, browserBox);
    standardPanel_->setObjectName(QStringLiteral("standardPanel"));
    connect(standardPanel_, &CStandardPanel::standardChanged, panel_, &CMeasurementPanel::RefreshTrend);
    connect(browser_, &CDataBrowser::standardChanged, standardPanel_, &CStandardPanel::Refresh);
    auto* browserLayout = new QVBoxLayout(browserBox);
    browserLayout->addWidget(browser_, 1);
    browserLayout->addWidget(standardPanel_);

    statusLine_ = new QStatusBar(this);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setSizeGripEnabled(false);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(browserBox, 1);
    main->addWidget(statusLine_);

    // A Help menu where a desktop user looks for it: the user guide (F1) and the version item, which
    // is also in the dialog's own context menu (a right click on the dialog's background), as there
    // is no system menu here.
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    QMenu* help = menuBar->addMenu(Q(ids::kHelpMenu));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* guide = MakeAction("actionUserGuide", ids::kUserGuideMenu, &CHeliarcDlg::UserGuide);
    guide->setShortcut(QKeySequence::HelpContents);
    addAction(guide);
    help->addAction(guide);
    if (!S(ids::kVersionMenu).empty()) {
        QAction* about = MakeAction("actionAbout", ids::kVersionMenu, &CHeliarcDlg::About);
        addAction(about);
        setContextMenuPolicy(Qt::ActionsContextMenu);
        help->addAction(about);
    }
    main->setMenuBar(menuBar);
}

void CHeliarcDlg::CreateThumbnailFrames() {
    const QRect work = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                        : QRect(0, 0, 1280, 800);
    auto* data = new CDataThumbnailWnd(Q(ids::kMeasuredDataThumbnail));
    data->setObjectName(QStringLiteral("measuredThumbnailFrame"));
    auto* base = new CBaseDataThumbnailWnd(Q(ids::kStandardDataThumbnail));
    base->setObjectName(QStringLiteral("standardThumbnailFrame"));
    // A column at the screen's left edge, frames included, wide enough for the longer title.
    const int titles = std::max(data->fontMetrics().horizontalAdvance(data->windowTitle()),
                                base->fontMetrics().horizontalAdvance(base->windowTitle()));
    const int column = std::clamp(titles + 160, 160, std::max(160, work.width() / 4));
    PlaceWindow(data, QRect(work.left(), work.top(), column, std::max(1, work.height() - 120)));
    PlaceWindow(base, QRect(work.left(), work.bottom() + 1 - 120, column, 120));
    dataThumb_ = data;
    baseThumb_ = base;
    if (CHeliarcApp* app = CHeliarcApp::Instance()) {
        app->m_pDataThumbnailWnd = data;
        app->m_pBaseDataThumbnailWnd = base;
    }
    data->show();
    base->show();
    // The main window where and as large as it was; the first time centred in the work area.
    if (RestoreWindowPlace(this, kWindowName)) {
        restored_ = true;
        return;
    }
    const QSize size = sizeHint().expandedTo(QSize(860, 600)).boundedTo(work.size());
    resize(size);
    move(work.left() + (work.width() - size.width()) / 2, work.top() + (work.height() - size.height()) / 2);
}

void CHeliarcDlg::Initialize() {
    setWindowTitle(CGraphFrame::TitleFor(S(ids::kAppTitle)));
    setWindowIcon(HeliarcIcon());
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    CreateThumbnailFrames();
    // From here on the registered history alone is the standard data.
    standard_.SetJisEnabled(0);

    const std::vector<CDataListCtrl::Column>& columns = browser_->Columns();
    StandardList()->SetColumns(columns);
    StandardList()->SetCellText([this](int row, int column) {
        return row >= 0 && row < standard_.ItemCount() ? CRecordListModel::CellText(standard_.Item(row), column)
                                                       : std::string();
    });
    RefreshStandardList();
    // Wide enough for every column of the record list where the screen allows, still centred.
    int columnsWidth = 0;
    for (const auto& c : columns) columnsWidth += c.width;
    const QRect work = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    const int wanted = std::min(columnsWidth + 100, work.width());
    if (!restored_ && wanted > width()) {
        resize(wanted, height());
        move(work.left() + (work.width() - width()) / 2, y());
    }

    if (dataThumb_ && views_.measuredThumbnailView)
        DataThumbnailWnd()->SetView(
            views_.measuredThumbnailView(dataThumb_, browser_->DataSet(), browser_->SelectionModel()));
    if (baseThumb_ && views_.standardThumbnailView)
        BaseDataThumbnailWnd()->SetView(views_.standardThumbnailView(baseThumb_, standard_));
    ConnectThumbnails();

    browser_->Retrieve();
    openModal_ = 0;

    // Every start of the program returns to automatic exposure.
    CMeasurementPrm measurement;
    measurement.Load();
    measurement.m_EXPOSED_TIME = 0;
    measurement.Save();
}

void CHeliarcDlg::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the program; Enter goes to the default button ("Retrieval").
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CHeliarcDlg::OpenMakerSite() { Prompter::Current().OpenUrl(kMakerSite); }

void CHeliarcDlg::OnRecordStored(const CSpectrumData& record, qint64 fileDate, qint64 offset, bool runEnds) {
    // An interval run keeps the newest record in view while the user watches the list's end.
    browser_->AddStored(record, fileDate, offset, runEnds || browser_->LastRowVisible());
}

void CHeliarcDlg::OnTransferFinished(int copied) {
    browser_->Refresh();
    statusLine_->showMessage(QString::fromStdString(Format(ids::kRecordsCopied, copied)));
}

void CHeliarcDlg::DataFolder() {
    CSetGeneral dialog(this);
    if (Prompter::Current().RunModal(dialog) != QDialog::Accepted) return;
    // The list shows the records of the folder now set.
    browser_->Refresh();
}

void CHeliarcDlg::UserGuide() {
    if (!guide_) {
        guide_ = new CGuideWindow(this);
        guide_->setAttribute(Qt::WA_DeleteOnClose);
    }
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
}

void CHeliarcDlg::About() {
    CAboutDlg dialog(this);
    Prompter::Current().RunModal(dialog);
}

void CHeliarcDlg::reject() {
    if (openModal_ > 0) {
        ShowMessage(this, ids::kExitAfterClosingDialogs, Prompter::Icon::Information);
        return;
    }
    if (engine_->IsMeasuring()) {
        if (!Prompter::Current().AskYesNo(this, S(ids::kConfirmStopMeasurement))) return;
        engine_->Stop();
    }
    StoreWindowPlace(this, kWindowName);
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

void CHeliarcDlg::ConnectGraphSets() {
    for (CFrameSet& set : sets_) {
        connect(&set, &CFrameSet::modalOpened, this, [this] { ++openModal_; });
        connect(&set, &CFrameSet::modalClosed, this, [this] { --openModal_; });
        connect(&set, &CFrameSet::previousRequested, browser_,
                [this](QWidget* frame, qint64 shownTime) { browser_->ShowNeighbour(frame, shownTime, false); });
        connect(&set, &CFrameSet::nextRequested, browser_,
                [this](QWidget* frame, qint64 shownTime) { browser_->ShowNeighbour(frame, shownTime, true); });
    }
}

void CHeliarcDlg::ConnectThumbnails() {
    for (CThumbnailFrame* frame : {static_cast<CThumbnailFrame*>(DataThumbnailWnd()),
                                   static_cast<CThumbnailFrame*>(BaseDataThumbnailWnd())}) {
        if (!frame) continue;
        connect(frame, &CThumbnailFrame::modalOpened, this, [this] { ++openModal_; });
        connect(frame, &CThumbnailFrame::modalClosed, this, [this] { --openModal_; });
    }
    if (auto* view = qobject_cast<CDataThumbnailView*>(dataThumb_ ? DataThumbnailWnd()->View() : nullptr))
        browser_->ConnectThumbnails(view);
    if (auto* view = qobject_cast<CBaseDataThumbnailView*>(baseThumb_ ? BaseDataThumbnailWnd()->View() : nullptr)) {
        connect(standardPanel_, &CStandardPanel::standardChanged, view, &CBaseDataThumbnailView::Render);
        connect(view, &CBaseDataThumbnailView::contextMenuRequested, standardPanel_,
                [this](const QPoint& at) { standardPanel_->Menu()->popup(at); });
    }
}
