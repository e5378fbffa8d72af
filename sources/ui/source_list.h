#pragma once
// The source list: a report-style list of the sources, one row per record of the view's record
// array. Each row's item data is its record's index in the array; the row order is the order of
// conversion. Several rows may be selected; whole rows are selected.
#include <QFont>
#include <QTreeWidget>

#include <vector>

class FileMediaFormat;

class CSourceList : public QTreeWidget {
    Q_OBJECT
public:
    explicit CSourceList(QWidget* parent = nullptr);

    // The four columns with their headers in the current interface language: "Source",
    // "Target", "Convert Duration" right-aligned and "Status", sized by FitColumns.
    void CreateColumns();
    // Sizes the columns for the list's font and width: "Convert Duration" and "Status" as wide as
    // their header and their longest text (a segment of 99 hours, every status text); "Source"
    // and "Target" share the rest of the list in the ratio 100 : 200, so that all four stay
    // inside the list (room is kept for the vertical scroll bar) and no horizontal scroll bar
    // appears.
    void FitColumns();

    int RowCount() const { return topLevelItemCount(); }
    // Inserts a row at `nRow` (clamped to 0..RowCount) showing `strText` in column 0, with item
    // data `nIndex`. Returns the row it went to.
    int InsertRow(int nRow, const QString& strText, int nIndex);
    // Deletes a row; false for a bad row.
    bool DeleteRow(int nRow);
    void DeleteAllRows();

    // The row's item data, or -1 for a bad row.
    int ItemData(int nRow) const;
    void SetItemData(int nRow, int nIndex);
    QString Text(int nRow, int nColumn) const;
    void SetText(int nRow, int nColumn, const QString& strText);

    // Columns 1 to 3 from the record: target file name, the part to convert (SegmentText of the
    // record's start and end), status text.
    void FillRow(int nRow, const FileMediaFormat& record);

    bool IsRowSelected(int nRow) const;
    void SetRowSelected(int nRow, bool bSelected);
    // The focused row, or -1.
    int FocusRow() const;
    // Gives a row the focus without changing any selection.
    void SetFocusRow(int nRow);
    // The lowest selected row, or -1.
    int FirstSelectedRow() const;
    // The selected rows in rising order.
    std::vector<int> SelectedRows() const;
    // Clears selection and focus of every row but `nRow`, then selects and focuses `nRow`.
    void SelectOnly(int nRow);

    // Exchanges the texts of every column, the item data and the selection and focus of two rows.
    // False (and nothing changes) when a row is out of range; true without change when a == b.
    bool SwapRows(int a, int b);

signals:
    // A row became selected or focused, or lost its selection while keeping the focus (the
    // plain deselection of a row without the focus is not reported).
    void rowStateSet(int nRow);

private:
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
};

// "%02d:%02d:%02d" of whole seconds as hours (not limited to two digits), minutes and seconds.
QString ClockText(int nSeconds);

// The segment column's text: the clock texts of start and end joined by "-".
QString SegmentText(int nStart, int nEnd);
