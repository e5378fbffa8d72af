#include "engine/ui/helpers/convert_fixture.h"

#include <QCoreApplication>
#include <QThread>

#include <filesystem>
#include <fstream>

#include "common/testkit.h"

namespace convert_test {

std::unique_ptr<FileMediaFormat> MakeRecord(const std::string& strPath, int nStart, int nEnd) {
    auto pRecord = std::make_unique<FileMediaFormat>();
    const std::filesystem::path path(strPath);
    pRecord->m_strPath = strPath;
    pRecord->m_strTitle = path.stem().string();
    const std::string strExt = path.extension().string();
    pRecord->m_strExt = strExt.empty() ? std::string() : strExt.substr(1);
    pRecord->m_nDuration = nEnd;
    pRecord->m_nStart = nStart;
    pRecord->m_nEnd = nEnd;
    return pRecord;
}

FileMediaFormat* TestList::RecordAtRow(int nRow) {
    if (nRow < 0 || nRow >= RowCount()) {
        return nullptr;
    }
    return m_records[static_cast<std::size_t>(m_rows[static_cast<std::size_t>(nRow)])].get();
}

void TestList::FillRow(int nRow) {
    FileMediaFormat* pRecord = RecordAtRow(nRow);
    if (pRecord == nullptr) {
        return;
    }
    m_fillCounts[static_cast<std::size_t>(nRow)]++;
    m_fills.push_back(std::to_string(nRow) + ":" + std::to_string(pRecord->m_nStatus));
    m_fillOnMainThread.push_back(QThread::currentThread() ==
                                 QCoreApplication::instance()->thread());
}

int TestList::Add(std::unique_ptr<FileMediaFormat> pRecord) {
    m_rows.push_back(static_cast<int>(m_records.size()));
    m_records.push_back(std::move(pRecord));
    m_fillCounts.push_back(0);
    return RowCount() - 1;
}

std::vector<int> TestList::Statuses() {
    std::vector<int> statuses;
    for (int nRow = 0; nRow < RowCount(); ++nRow) {
        statuses.push_back(RecordAtRow(nRow)->m_nStatus);
    }
    return statuses;
}

std::string EncoderBody(const std::string& strCallLog) {
    return "log=" + testkit::ShellQuote(strCallLog) + R"(
in=""; ss=""; t=""; out=""; prev=""
for a in "$@"; do
  case "$prev" in
    -i) in="$a";; -ss) ss="$a";; -t) t="$a";; -y) out="$a";;
  esac
  prev="$a"
done
printf '%s|%s|%s|%s\n' "$in" "$ss" "$t" "$out" >> "$log"
case "$in" in
  *fail*) echo "cannot open $in"; exit 1;;
  *slow*)
    i=0
    while [ $i -lt 100 ]; do
      i=$((i+1))
      echo "frame=$i time=$((i/10)).$((i%10))0 bitrate=1"
      sleep 0.1
    done;;
  *size*)
    head -c 1263616 /dev/zero > "$out"
    echo "frame=1 time=1.00 bitrate=1"
    sleep 1
    exit 0;;
  *) echo "frame=1 time=1.00 bitrate=1";;
esac
printf 'x' > "$out"
exit 0
)";
}

std::vector<std::string> ReadLines(const std::string& strPath) {
    std::vector<std::string> lines;
    std::ifstream in(strPath);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

Poller::Poller(std::function<bool()> step) : m_step(std::move(step)) {
    m_timer.setInterval(10);
    // The step may run a nested event loop (a button that waits): the timer is off meanwhile, so
    // the step is never entered twice.
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        if (m_step()) {
            m_bDone = true;
        } else {
            m_timer.start();
        }
    });
    m_timer.start();
}

DialogSetup::DialogSetup() {
    testkit::WriteFakeEncoder(m_bin.Path(), EncoderBody(CallLog()));
    m_settings.m_nFormat = 0;
    m_settings.m_strOutputFolder = Out();
}

std::unique_ptr<CConvertDlg> DialogSetup::MakeDialog() {
    return std::make_unique<CConvertDlg>(nullptr, std::move(m_pOwnedList), m_job, m_settings);
}

bool DialogSetup::RowRunning(CConvertDlg& dialog, int nRow) const {
    return dialog.Batch().m_nCurrent == nRow && CallCount() == nRow + 1;
}

const char* const kCompleted = "Conversion is completed.";
const char* const kCanceled = "Conversion is canceled.";
const char* const kConfirmCancelAll = "Are you sure to cancel all convert tasks?";
const char* const kUnknownFormat =
    "Unknown file format . Please ensure your computer can playback the file normally.";
const char* const kReasons =
    "Please note the following reasons:\n1. This file is not an available media file or doesn't "
    "include audio data.\n2. You haven't installed Windows Media Player 9.0 or later.\n3. You "
    "need install Real Player when converting RM/RMVB/RAM.\n4. You need install QuickTime when "
    "converting QT/MOV.\n5. You need install other third-party codec.\n\nPlease click menu "
    "\"Download\" to get more.";

} // namespace convert_test
