#pragma once
// What the loading pass needs from the window that runs it. The pass runs on a worker thread and
// touches no widget: every call below is served by the host, which runs the calls that reach the
// list or a control on the main thread and returns only when they are done.
#include <memory>
#include <string>

class FileMediaFormat;

// Where the output of a new source goes: the folder shown in the output path field and the output
// extension of the chosen target format.
struct LoadTarget {
    std::string strFolder;
    std::string strExtension;
};

class ILoadHost {
public:
    virtual ~ILoadHost() = default;

    // The number of rows of the source list now.
    virtual int RowCount() = 0;
    // The progress line of the dialog; the host keeps it under its text lock.
    virtual void SetProgressText(const std::string& strText) = 0;
    // The progress bar position, 0..100.
    virtual void SetProgress(int nPercent) = 0;
    // The output folder and extension for a new source.
    virtual LoadTarget OutputTarget() = 0;
    // Appends the record to the view's record array, inserts a list row at `nRow` showing the file
    // name with the record's index as item data, and fills the row. Returns the record's index, or
    // -1 when it could not be added.
    virtual int AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) = 0;
    // Shows the message naming the failed files (OK button, warning icon, the application name as
    // caption) and returns once the user has closed it.
    virtual void ShowFailures(const std::string& strMessage) = 0;
    // A file failed to probe, and why, as one sentence (already in the log). Called as it fails,
    // before ShowFailures. The window does nothing more with it (its message keeps its own text).
    virtual void SourceFailed(const std::string& /*strPath*/, const std::string& /*strCause*/) {}
    // Asks the dialog to close; the last call of the pass.
    virtual void Close() = 0;
};
