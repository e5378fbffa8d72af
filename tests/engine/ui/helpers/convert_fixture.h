#pragma once
// Shared pieces of the conversion dialog tests: a source list over plain records, a scripted
// encoder whose behaviour follows the source's name, and a poller that acts while a modal dialog
// runs.
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/fake_encoder.h"
#include "common/gui/scripted_prompts.h"
#include "common/records.h"
#include "common/testkit.h"
#include "engine/batch_host.h"
#include "engine/encoder_job.h"
#include "engine/ui/convert_dlg.h"
#include "profiles/conversion_settings.h"
#include "sources/source_record.h"

namespace convert_test {

using testkit::MakeRecord;

// A source list: rows in list order, each naming a record by its index. Counts the fills.
class TestList final : public IBatchList {
public:
    int RowCount() override { return static_cast<int>(m_rows.size()); }
    FileMediaFormat* RecordAtRow(int nRow) override;
    void FillRow(int nRow) override;

    // Appends a record and a row showing it; returns the row.
    int Add(std::unique_ptr<FileMediaFormat> pRecord);
    FileMediaFormat& Record(int nRow) { return *RecordAtRow(nRow); }
    std::vector<int> Statuses();

    std::vector<std::unique_ptr<FileMediaFormat>> m_records;
    std::vector<int> m_rows;
    std::vector<int> m_fillCounts;        // per row
    std::vector<std::string> m_fills;     // "row:status"
    std::vector<bool> m_fillOnMainThread; // whether each fill ran on the main thread
};

// Calls `step` every 10 ms on the main thread (also inside modal loops) until it returns true.
class Poller : public QObject {
public:
    explicit Poller(std::function<bool()> step);
    bool Done() const { return m_bDone; }

private:
    QTimer m_timer;
    std::function<bool()> m_step;
    bool m_bDone = false;
};

// Everything one dialog test needs: the scripted encoder (testkit::ScriptedEncoderBody: what it
// does follows the source's name) in its own program folder, an output folder, the job, the
// settings (MPEG-4), the list and the scripted prompts.
struct DialogSetup {
    DialogSetup();
    // The dialog over the list (which it takes over); call once.
    std::unique_ptr<CConvertDlg> MakeDialog();
    std::string CallLog() const { return m_bin.File("calls.log"); }
    int CallCount() const { return static_cast<int>(testkit::ReadLines(CallLog()).size()); }
    // Lets a "size" encoder end.
    void Release() const { testkit::WriteFile(m_bin.File("release"), ""); }
    std::string Out() const { return m_work.File("out/"); }
    // True once the row's encoder runs (its cancel flag was cleared before).
    bool RowRunning(CConvertDlg& dialog, int nRow) const;

    testkit::TempDir m_bin;
    testkit::TempDir m_work;
    testkit::ScopedProgramFolder m_folder{m_bin.Path()};
    CEncoderJob m_job;
    profiles::ConversionSettings m_settings;
    std::unique_ptr<TestList> m_pOwnedList = std::make_unique<TestList>();
    TestList& m_list = *m_pOwnedList;
    ScriptedPrompts m_prompts;
};

// The texts the dialog shows, letter for letter.
extern const char* const kCompleted;
extern const char* const kCanceled;
extern const char* const kConfirmCancelAll;
extern const char* const kUnknownFormat;
extern const char* const kReasons;

} // namespace convert_test
