#include "app/velmora_view.h"

#include "app/desktop_report.h"
#include "app/fault_notice.h"

#include <QAbstractButton>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTimerEvent>
#include <QUrl>

#include <algorithm>

#include "app/form_settings.h"
#include "app/media_check.h"
#include "engine/encoder_job.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "probe/ui/load_source_dlg.h"
#include "profiles/catalogue.h"
#include "profiles/settings.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"
#include "support/log.h"
#include "ui/prompt_service.h"

namespace {

constexpr int kHelpTimerPeriodMs = 1000;

// The source list is our own list widget; every other control is the builder's default.
QWidget* FormControlFactory(const lang::DialogControl& control, QWidget* parent) {
    if (control.nId == ids::kCtlSourceList && control.kind == lang::ControlKind::ListView) {
        return new CSourceList(parent);
    }
    return nullptr;
}

const lang::DialogTemplate& FormTemplate() {
    static const lang::DialogTemplate kEmpty;
    const auto& dialogs = CurrentResources().dialogs;
    const auto it = dialogs.find(ids::kDlgForm);
    if (it == dialogs.end()) {
        WriteLogLine("Form template %d is missing", ids::kDlgForm);
        return kEmpty;
    }
    return it->second;
}

// The items the settings lists will hold, so that the form is laid out for the longest of them.
ControlTexts ListTexts() {
    ControlTexts texts;
    for (profiles::SettingList list : profiles::kFillOrder) {
        QStringList& items = texts[profiles::ListControlId(list)];
        for (const profiles::ListItem& item : profiles::BuildListItems(list)) {
            items.append(QString::fromStdString(item.strText));
        }
    }
    return texts;
}

} // namespace

CVelmoraView::CVelmoraView(QWidget* parent) : QWidget(parent) {
    m_built = BuildFromTemplate(this, FormTemplate(), &FormControlFactory, ListTexts());
    m_formSize = size();
    m_pList = qobject_cast<CSourceList*>(Control(ids::kCtlSourceList));
    m_pInfo = qobject_cast<QPlainTextEdit*>(Control(ids::kCtlInfoText));
    m_pHideTips = qobject_cast<QAbstractButton*>(Control(ids::kCtlHideTips));
    m_pTipLabel = qobject_cast<QLabel*>(Control(ids::kCtlTipLabel));
    m_pSettings = new CFormSettings(m_built.controls, this);
    connect(m_pSettings, &CFormSettings::formatChanged, this, &CVelmoraView::ShowTargetFormat);
    setAcceptDrops(true);

    if (m_pInfo != nullptr) {
        m_pInfo->setReadOnly(true);
        m_pInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
        // The panel stays a Tab stop, so that its lines can be scrolled, selected and copied from
        // the keyboard; the text cursor this shows marks the focus.
        m_pInfo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    if (m_pList != nullptr) {
        connect(m_pList, &CSourceList::rowStateSet, this, [this](int) { RefreshPanel(); });
        // Delete in the list is the Remove command, through the frame like its menu item.
        auto* remove = new QShortcut(QKeySequence::Delete, m_pList);
        remove->setContext(Qt::WidgetShortcut);
        connect(remove, &QShortcut::activated, this,
                [this] { emit commandRequested(ids::kCmdRemove); });
    }
    if (auto* browse = qobject_cast<QAbstractButton*>(Control(ids::kCtlBrowse))) {
        connect(browse, &QAbstractButton::clicked, this, &CVelmoraView::OnBrowse);
    }
    if (auto* go = qobject_cast<QAbstractButton*>(Control(ids::kCtlGo))) {
        connect(go, &QAbstractButton::clicked, this, &CVelmoraView::OnGo);
    }
    if (m_pHideTips != nullptr) {
        m_pHideTips->setCheckable(true);
        m_pHideTips->setChecked(false);
        connect(m_pHideTips, &QAbstractButton::clicked, this,
                [this] { emit commandRequested(ids::kCmdToolTips); });
    }
    // No format or standard is chosen until the initial update.
    m_pSettings->SetOutputFolder(QString::fromStdString(ReadOutputPathSetting()));
}

CVelmoraView::~CVelmoraView() {
    // The records go with the array; the rows with the list.
    if (m_pList != nullptr) {
        m_pList->blockSignals(true);
    }
}

void CVelmoraView::OnInitialUpdate() {
    show();
    if (m_pTipLabel != nullptr) {
        m_pTipLabel->setText(MediaFrameworkTip());
        m_pTipLabel->setVisible(!MediaFrameworkAvailable());
    }
    if (!m_pJob) {
        m_pJob = std::make_unique<CEncoderJob>();
    }
    if (m_pList != nullptr) {
        m_pList->CreateColumns();
        m_pSettings->FillLists();
    }
    profiles::ConversionSettings settings = m_pSettings->Read();
    settings.m_nFormat = profiles::kFormatMpeg4;
    settings.m_nStandard = profiles::kStandardNtsc;
    m_pSettings->Show(settings);
    SetHiddenHelpCheck(true);
}

int CVelmoraView::RowCount() const {
    return m_pList != nullptr ? m_pList->RowCount() : 0;
}

FileMediaFormat* CVelmoraView::RecordAtRow(int row) {
    if (m_pList == nullptr || row < 0 || row >= m_pList->RowCount()) {
        return nullptr;
    }
    return m_records.At(m_pList->ItemData(row));
}

void CVelmoraView::FillRow(int row) {
    if (const FileMediaFormat* record = RecordAtRow(row)) {
        m_pList->FillRow(row, *record);
    }
}

profiles::ConversionSettings CVelmoraView::Settings() const {
    return m_pSettings->Read();
}

CEncoderJob& CVelmoraView::Job() {
    if (!m_pJob) {
        m_pJob = std::make_unique<CEncoderJob>();
    }
    return *m_pJob;
}

void CVelmoraView::MakeSizeConsistent() {
    m_pSettings->MakeSizeConsistent();
}

QString CVelmoraView::OutputFolder() const {
    return m_pSettings->OutputFolder();
}

bool CVelmoraView::HiddenHelpCheck() const {
    return m_pHideTips != nullptr && m_pHideTips->isChecked();
}

void CVelmoraView::SetHiddenHelpCheck(bool bChecked) {
    if (m_pHideTips != nullptr) {
        m_pHideTips->setChecked(bChecked);
    }
}

void CVelmoraView::StartHelpTimer() {
    // Precise: a coarse timer may fire up to 5 % early, and the help is due one second after start.
    m_helpTimer.start(kHelpTimerPeriodMs, Qt::PreciseTimer, this);
}

void CVelmoraView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int nShift = std::max(0, (width() - m_formSize.width()) / 2);
    if (nShift == m_nShift) {
        return;
    }
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        child->move(child->x() + nShift - m_nShift, child->y());
    }
    m_nShift = nShift;
}

void CVelmoraView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_helpTimer.timerId()) {
        m_helpTimer.stop();
        emit commandRequested(ids::kCmdToolTips);
        return;
    }
    QWidget::timerEvent(event);
}

void CVelmoraView::OnBrowse() {
    const QString strPicked = Prompts().PickFolder(
        this, QString::fromStdString(LoadResString(ids::kStrSelectOutputFolder)), OutputFolder());
    QString strFolder = strPicked.isEmpty() ? OutputFolder() : strPicked;
    if (!strFolder.isEmpty() && !strFolder.endsWith(QLatin1Char('/'))) {
        strFolder += QLatin1Char('/');
    }
    m_pSettings->SetOutputFolder(strFolder);
    // Stored whatever the outcome, cancel included.
    if (!WriteOutputPathSetting(QFile::encodeName(OutputFolder()).toStdString())) {
        ReportSettingsWriteFault(this);
    }
}

LoadTarget CVelmoraView::LoadOutputTarget() const {
    return {QFile::encodeName(OutputFolder()).toStdString(),
            profiles::FormatExtension(Settings().m_nFormat)};
}

QWidget* CVelmoraView::ListWidget() const {
    return m_pList;
}

void CVelmoraView::OnGo() {
    const std::string strFolder = QFile::encodeName(OutputFolder()).toStdString();
    static_cast<void>(OpenWithDesktopReported(this, strFolder, DesktopTarget::kFolder));
}

void CVelmoraView::LoadSources(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    CLoadSourceDlg dialog(this, paths, this);
    dialog.exec();
}

int CVelmoraView::AppendSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) {
    if (!pRecord || m_pList == nullptr) {
        return -1;
    }
    const QString strName = QString::fromStdString(pRecord->GetFileName());
    const int nIndex = m_records.Add(std::move(pRecord));
    if (nIndex < 0) {
        return -1;
    }
    const int nAt = m_pList->InsertRow(nRow, strName, nIndex);
    FillRow(nAt);
    emit commandStatesChanged();
    return nIndex;
}

void CVelmoraView::TakeOverSettings(const CVelmoraView& old) {
    m_pSettings->TakeOver(old.Settings());
}

void CVelmoraView::TakeOverSources(const CVelmoraView& old) {
    if (m_pList == nullptr) {
        return;
    }
    // Every record keeps its index: an empty slot of the old array stays an empty slot here.
    const int nSlots = old.m_records.Size();
    for (int nIndex = 0; nIndex < nSlots; ++nIndex) {
        const FileMediaFormat* record = old.m_records.At(nIndex);
        const int nNew =
            m_records.Add(record != nullptr ? std::make_unique<FileMediaFormat>(*record)
                                            : std::make_unique<FileMediaFormat>());
        if (record == nullptr) {
            m_records.Remove(nNew);
        }
    }
    const int nRows = old.RowCount();
    for (int nRow = 0; nRow < nRows; ++nRow) {
        const int nIndex = old.m_pList->ItemData(nRow);
        const FileMediaFormat* record = m_records.At(nIndex);
        const QString strName =
            record != nullptr ? QString::fromStdString(record->GetFileName()) : QString();
        const int nAt = m_pList->InsertRow(nRow, strName, nIndex);
        FillRow(nAt);
        WriteLogLine("Set FileAudioFormat array index(%d) to listtime(%d).", nIndex, nAt);
    }
    emit commandStatesChanged();
}

void CVelmoraView::ShowTargetFormat(int nFormat) {
    if (m_pList == nullptr) {
        return;
    }
    const std::string strExt = profiles::FormatExtension(nFormat);
    const int nRows = m_pList->RowCount();
    for (int nRow = 0; nRow < nRows; ++nRow) {
        FileMediaFormat* record = RecordAtRow(nRow);
        if (record == nullptr || record->m_nStatus == kStatusDone || strExt.empty() ||
            record->m_strTargetExt == strExt) {
            continue;
        }
        record->m_strTargetExt = strExt;
        m_pList->FillRow(nRow, *record);
    }
}

void CVelmoraView::TakeOverSelection(const CVelmoraView& old) {
    if (m_pList == nullptr || old.m_pList == nullptr || old.RowCount() != RowCount()) {
        return;
    }
    const int nFocus = old.m_pList->FocusRow();
    if (nFocus >= 0) {
        m_pList->SetFocusRow(nFocus);
        m_pList->scrollTo(m_pList->currentIndex());
    }
    for (const int nRow : old.m_pList->SelectedRows()) {
        m_pList->SetRowSelected(nRow, true);
    }
    RefreshPanel();
}

void CVelmoraView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CVelmoraView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CVelmoraView::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            const QString strPath = url.toLocalFile();
            if (!strPath.isEmpty()) {
                paths.push_back(QFile::encodeName(strPath).toStdString());
            }
        }
    }
    event->acceptProposedAction();
    if (paths.empty()) {
        return;
    }
    // The drop ends first; the loading pass runs once the drag has let go of the view.
    QMetaObject::invokeMethod(
        this,
        [this, paths] {
            LoadSources(paths);
            if (m_pList != nullptr && m_pList->RowCount() > 0 && m_pList->FirstSelectedRow() < 0) {
                m_pList->SelectOnly(m_pList->RowCount() - 1);
            }
        },
        Qt::QueuedConnection);
}
