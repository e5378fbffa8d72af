#include "sources/ui/source_list.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>

#include <algorithm>
#include <cstdint>

#include <utility>

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "sources/clock_text.h"
#include "sources/source_record.h"

namespace {

constexpr int kColumnCount = 4;
constexpr int kDataRole = Qt::UserRole;

QString ResText(int nId) {
    return QString::fromStdString(LoadResString(nId));
}

} // namespace

QString ClockText(int nSeconds) {
    return QString::fromStdString(sources::ClockText(nSeconds));
}

QString SegmentText(int nStart, int nEnd) {
    return ClockText(nStart) + QLatin1Char('-') + ClockText(nEnd);
}

CSourceList::CSourceList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setDragEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    setColumnCount(0);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CSourceList::OnSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CSourceList::OnCurrentChanged);
}

void CSourceList::CreateColumns() {
    struct Column {
        int nTitleId;
        Qt::Alignment alignment;
    };
    const Column columns[kColumnCount] = {
        {ids::kStrColSource, Qt::AlignLeft},
        {ids::kStrColTarget, Qt::AlignLeft},
        {ids::kStrColDuration, Qt::AlignRight},
        {ids::kStrColStatus, Qt::AlignLeft},
    };
    setColumnCount(kColumnCount);
    auto* headerItem = new QTreeWidgetItem();
    for (int i = 0; i < kColumnCount; ++i) {
        headerItem->setText(i, ResText(columns[i].nTitleId));
        headerItem->setTextAlignment(i, columns[i].alignment | Qt::AlignVCenter);
    }
    setHeaderItem(headerItem);
    FitColumns();
}

void CSourceList::FitColumns() {
    if (columnCount() != kColumnCount) {
        return;
    }
    const QFontMetrics metrics(font());
    // The item view draws a cell's text inside a margin on either side; an average character
    // each side keeps neighbouring columns' texts apart.
    const int nCellMargin =
        2 * std::max(style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1,
                     metrics.averageCharWidth());
    auto needed = [&](int nColumn, const QStringList& texts) {
        int nWidth = header()->sectionSizeHint(nColumn);
        for (const QString& text : texts) {
            nWidth = std::max(nWidth, metrics.horizontalAdvance(text) + nCellMargin);
        }
        return nWidth;
    };
    QStringList statuses;
    for (std::int32_t nStatus = kStatusReady; nStatus <= kStatusError; ++nStatus) {
        statuses.append(QString::fromStdString(StatusText(nStatus)));
    }
    constexpr int kLongestSeconds = 99 * 3600 + 59 * 60 + 59;
    const int nDuration = needed(2, {SegmentText(kLongestSeconds, kLongestSeconds)});
    const int nStatus = needed(3, statuses);
    const int nRoom = width() - 2 * frameWidth() -
                      style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int nShared = std::max(0, nRoom - nDuration - nStatus);
    const int nSource = std::max(header()->sectionSizeHint(0), nShared / 3);
    const int nTarget = std::max(header()->sectionSizeHint(1), nShared - nSource);
    setColumnWidth(0, nSource);
    setColumnWidth(1, nTarget);
    setColumnWidth(2, nDuration);
    setColumnWidth(3, nStatus);
}

int CSourceList::InsertRow(int nRow, const QString& strText, int nIndex) {
    const int nAt = nRow < 0 ? 0 : (nRow > RowCount() ? RowCount() : nRow);
    auto* item = new QTreeWidgetItem();
    item->setText(0, strText);
    item->setData(0, kDataRole, nIndex);
    // Alignment of column 2 follows its header.
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    insertTopLevelItem(nAt, item);
    return nAt;
}

bool CSourceList::DeleteRow(int nRow) {
    if (nRow < 0 || nRow >= RowCount()) {
        return false;
    }
    delete takeTopLevelItem(nRow);
    return true;
}

void CSourceList::DeleteAllRows() {
    for (int nRow = RowCount() - 1; nRow >= 0; --nRow) {
        delete takeTopLevelItem(nRow);
    }
}

int CSourceList::ItemData(int nRow) const {
    const QTreeWidgetItem* item = topLevelItem(nRow);
    if (item == nullptr) {
        return -1;
    }
    bool bOk = false;
    const int nIndex = item->data(0, kDataRole).toInt(&bOk);
    return bOk ? nIndex : -1;
}

void CSourceList::SetItemData(int nRow, int nIndex) {
    if (QTreeWidgetItem* item = topLevelItem(nRow)) {
        item->setData(0, kDataRole, nIndex);
    }
}

QString CSourceList::Text(int nRow, int nColumn) const {
    const QTreeWidgetItem* item = topLevelItem(nRow);
    return item != nullptr ? item->text(nColumn) : QString();
}

void CSourceList::SetText(int nRow, int nColumn, const QString& strText) {
    if (QTreeWidgetItem* item = topLevelItem(nRow)) {
        item->setText(nColumn, strText);
    }
}

void CSourceList::FillRow(int nRow, const FileMediaFormat& record) {
    QTreeWidgetItem* item = topLevelItem(nRow);
    if (item == nullptr) {
        return;
    }
    item->setText(1, QString::fromStdString(record.GetTargetFileName()));
    // The part that will be converted: the whole file unless a part was chosen in the preview.
    item->setText(2, SegmentText(record.m_nStart, record.m_nEnd));
    item->setText(3, QString::fromStdString(StatusText(record.m_nStatus)));
}

bool CSourceList::IsRowSelected(int nRow) const {
    const QTreeWidgetItem* item = topLevelItem(nRow);
    return item != nullptr && item->isSelected();
}

void CSourceList::SetRowSelected(int nRow, bool bSelected) {
    if (QTreeWidgetItem* item = topLevelItem(nRow)) {
        item->setSelected(bSelected);
    }
}

int CSourceList::FocusRow() const {
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CSourceList::SetFocusRow(int nRow) {
    if (QTreeWidgetItem* item = topLevelItem(nRow)) {
        selectionModel()->setCurrentIndex(indexFromItem(item), QItemSelectionModel::NoUpdate);
    }
}

int CSourceList::FirstSelectedRow() const {
    const int nCount = RowCount();
    for (int nRow = 0; nRow < nCount; ++nRow) {
        if (topLevelItem(nRow)->isSelected()) {
            return nRow;
        }
    }
    return -1;
}

std::vector<int> CSourceList::SelectedRows() const {
    std::vector<int> rows;
    const int nCount = RowCount();
    for (int nRow = 0; nRow < nCount; ++nRow) {
        if (topLevelItem(nRow)->isSelected()) {
            rows.push_back(nRow);
        }
    }
    return rows;
}

void CSourceList::SelectOnly(int nRow) {
    QTreeWidgetItem* item = topLevelItem(nRow);
    if (item == nullptr) {
        return;
    }
    const QModelIndex index = indexFromItem(item);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
}

bool CSourceList::SwapRows(int a, int b) {
    const int nCount = RowCount();
    if (a < 0 || b < 0 || a >= nCount || b >= nCount) {
        return false;
    }
    if (a == b) {
        return true;
    }
    QTreeWidgetItem* itemA = topLevelItem(a);
    QTreeWidgetItem* itemB = topLevelItem(b);
    const int nColumns = columnCount();
    for (int i = 0; i < nColumns; ++i) {
        const QString strText = itemA->text(i);
        itemA->setText(i, itemB->text(i));
        itemB->setText(i, strText);
    }
    const QVariant itemData = itemA->data(0, kDataRole);
    itemA->setData(0, kDataRole, itemB->data(0, kDataRole));
    itemB->setData(0, kDataRole, itemData);

    const int nFocus = FocusRow();
    const bool bSelectedA = itemA->isSelected();
    const bool bSelectedB = itemB->isSelected();
    if (nFocus == a) {
        SetFocusRow(b);
    } else if (nFocus == b) {
        SetFocusRow(a);
    }
    itemA->setSelected(bSelectedB);
    itemB->setSelected(bSelectedA);
    return true;
}

void CSourceList::OnSelectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    int nFirst = -1;
    for (const QModelIndex& index : selected.indexes()) {
        if (nFirst < 0 || index.row() < nFirst) {
            nFirst = index.row();
        }
    }
    // A deselected row that keeps the focus still has a state: it is reported as well.
    const QModelIndex current = currentIndex();
    if (nFirst < 0 && current.isValid()) {
        for (const QModelIndex& index : deselected.indexes()) {
            if (index.row() == current.row()) {
                nFirst = index.row();
                break;
            }
        }
    }
    if (nFirst >= 0) {
        emit rowStateSet(nFirst);
    }
}

void CSourceList::OnCurrentChanged(const QModelIndex& current, const QModelIndex& /*previous*/) {
    if (current.isValid()) {
        emit rowStateSet(current.row());
    }
}
