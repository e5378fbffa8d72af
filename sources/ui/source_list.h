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

    // The four columns with their headers in the current interface language: "Source" 100 px,
    // "Target" 200 px, "Convert Duration" 100 px right-aligned, "Status" 63 px, each scaled with
    // the list's font (ScaledColumnWidth).
    void CreateColumns();

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

// The column widths are pixels for the platform's dialog font, whose average character is
// kDesignCharWidth pixels wide; a width in the list's font grows with that font's average character
// width, so the texts a column was made for still fit.
inline constexpr int kDesignCharWidth = 5;
int ScaledColumnWidth(int nWidth, const QFont& font);
