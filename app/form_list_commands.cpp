// The source list commands of the form view (Preview and Convert run from preview_command.cpp and
// convert_command.cpp) and the information panel.
#include "app/velmora_view.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include "app/convert_command.h"
#include "app/preview_command.h"
#include "lang/resource_ids.h"
#include "sources/info_panel_text.h"
#include "sources/source_record.h"
#include "sources/ui/open_filter.h"
#include "sources/ui/source_list.h"
#include "ui/prompt_service.h"

bool CVelmoraView::IsCommandEnabled(int nCommand) const {
    const int nRows = RowCount();
    switch (nCommand) {
    case ids::kCmdAdd:
        return true;
    case ids::kCmdRemove:
    case ids::kCmdRemoveAll:
    case ids::kCmdPreview:
    case ids::kCmdConvert:
        return nRows >= 1;
    case ids::kCmdMoveUp:
    case ids::kCmdMoveDown:
        return nRows >= 2;
    default:
        return false;
    }
}

bool CVelmoraView::OnCommand(int nCommand) {
    if (!IsCommandEnabled(nCommand)) {
        return false;
    }
    switch (nCommand) {
    case ids::kCmdAdd:
        OnAdd();
        break;
    case ids::kCmdRemove:
        OnRemove();
        break;
    case ids::kCmdRemoveAll:
        OnRemoveAll();
        break;
    case ids::kCmdMoveUp:
        OnMoveUp();
        break;
    case ids::kCmdMoveDown:
        OnMoveDown();
        break;
    case ids::kCmdPreview:
        OnPreview();
        break;
    case ids::kCmdConvert:
        OnConvert();
        break;
    default:
        return false;
    }
    return true;
}

void CVelmoraView::OnAdd() {
    const QStringList files = Prompts().OpenFiles(this, QString(), AddFilesFilter());
    if (!files.isEmpty()) {
        std::vector<std::string> paths;
        paths.reserve(static_cast<std::size_t>(files.size()));
        for (const QString& strFile : files) {
            paths.push_back(QFile::encodeName(strFile).toStdString());
        }
        LoadSources(paths);
        if (m_pList != nullptr && m_pList->RowCount() > 0) {
            m_pList->SelectOnly(m_pList->RowCount() - 1);
        }
    }
    RefreshPanel();
}

void CVelmoraView::RemoveRowAndRecord(int nRow) {
    // The panel is refreshed once the rows are gone, not for each focus move on the way.
    const QSignalBlocker blocker(m_pList);
    m_records.Remove(m_pList->ItemData(nRow));
    m_pList->DeleteRow(nRow);
}

void CVelmoraView::OnRemove() {
    if (m_pList == nullptr) {
        return;
    }
    const int nFirst = m_pList->FirstSelectedRow();
    if (nFirst >= 0) {
        for (int nRow = m_pList->RowCount() - 1; nRow >= 0; --nRow) {
            if (m_pList->IsRowSelected(nRow)) {
                RemoveRowAndRecord(nRow);
            }
        }
        emit commandStatesChanged();
        if (nFirst < m_pList->RowCount()) {
            m_pList->SelectOnly(nFirst);
            m_nLastPanelRow = -1;
            RefreshPanel();
            return;
        }
    }
    if (m_pList->RowCount() > 0) {
        m_pList->SelectOnly(m_pList->RowCount() - 1);
    }
    m_nLastPanelRow = -1;
    RefreshPanel();
}

void CVelmoraView::OnRemoveAll() {
    if (m_pList != nullptr) {
        for (int nRow = m_pList->RowCount() - 1; nRow >= 0; --nRow) {
            RemoveRowAndRecord(nRow);
        }
    }
    m_records.RemoveAll();
    m_nLastPanelRow = -1;
    RefreshPanel();
    emit commandStatesChanged();
}

void CVelmoraView::OnMoveUp() {
    if (m_pList == nullptr || m_pList->FirstSelectedRow() < 0) {
        return;
    }
    const int nRows = m_pList->RowCount();
    for (int i = 1; i < nRows; ++i) {
        if (m_pList->IsRowSelected(i) && !m_pList->IsRowSelected(i - 1)) {
            m_pList->SwapRows(i, i - 1);
        }
    }
}

void CVelmoraView::OnMoveDown() {
    if (m_pList == nullptr || m_pList->FirstSelectedRow() < 0) {
        return;
    }
    for (int i = m_pList->RowCount() - 2; i >= 0; --i) {
        if (m_pList->IsRowSelected(i) && !m_pList->IsRowSelected(i + 1)) {
            m_pList->SwapRows(i, i + 1);
        }
    }
}

void CVelmoraView::OnPreview() {
    RunPreviewCommand(*this);
}

void CVelmoraView::OnConvert() {
    RunConvertCommand(*this);
}

void CVelmoraView::RefreshPanel() {
    if (m_pList == nullptr) {
        return;
    }
    const int nRow = m_pList->FirstSelectedRow();
    if (nRow < 0) {
        if (m_pList->RowCount() > 0) {
            return;
        }
        ShowPanelText(std::string());
        return;
    }
    if (nRow == m_nLastPanelRow) {
        return;
    }
    m_nLastPanelRow = nRow;
    const FileMediaFormat* record = RecordAtRow(nRow);
    ShowPanelText(record != nullptr ? InfoPanelText(*record) : std::string());
}

void CVelmoraView::ShowPanelText(const std::string& strText) {
    if (m_pInfo == nullptr) {
        return;
    }
    // The panel's lines end with "\r\n"; the edit control breaks lines at "\n" alone.
    QString strShown = QString::fromStdString(strText);
    strShown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_pInfo->setPlainText(strShown);
}

QString CVelmoraView::PanelText() const {
    return m_pInfo != nullptr ? m_pInfo->toPlainText() : QString();
}
