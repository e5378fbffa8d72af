#pragma once
// What the loading dialog needs of the window it adds sources to. Called on the main thread only.
#include <memory>

#include "probe/load_host.h"

class FileMediaFormat;
class QWidget;

class ILoadView {
public:
    virtual ~ILoadView() = default;

    // The output folder and extension a new source's output name is chosen for.
    virtual LoadTarget LoadOutputTarget() const = 0;
    // The rows of the source list now.
    virtual int RowCount() const = 0;
    // The list widget, painted by the dialog's timer while the pass holds its updates; may be null.
    virtual QWidget* ListWidget() const = 0;
    // Appends the record and inserts its row at `nRow` (ILoadHost::AddSource). Returns the
    // record's index, or -1.
    virtual int AppendSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) = 0;
};
