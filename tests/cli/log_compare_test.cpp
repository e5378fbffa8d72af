// The same batch through lumicast-batch and through the window's batch driver with the same
// settings writes the same encoder command lines to the log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "cli/helpers/fake_encoder_setup.h"
#include "common/fake_encoder.h"
#include "common/testkit.h"
#include "engine/batch_driver.h"
#include "engine/batch_host.h"
#include "engine/encoder_job.h"
#include "probe/load_sources.h"
#include "profiles/catalogue.h"
#include "sources/record_array.h"
#include "support/log.h"

namespace {

// The form's side, without widgets: the list and the array the view would hold.
class PlainList : public ILoadHost, public IBatchHost {
public:
    explicit PlainList(profiles::ConversionSettings settings) : m_settings(std::move(settings)) {
        m_batch.m_pJob = &m_job;
    }

    // Loading pass.
    int RowCount() override { return static_cast<int>(m_rows.size()); }
    void SetProgressText(const std::string&) override {}
    void SetProgress(int) override {}
    LoadTarget OutputTarget() override {
        return {m_settings.m_strOutputFolder, profiles::FormatExtension(m_settings.m_nFormat)};
    }
    int AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) override {
        const int nIndex = m_records.Add(std::move(pRecord));
        m_rows.insert(m_rows.begin() + nRow, nIndex);
        return nIndex;
    }
    void ShowFailures(const std::string&) override {}
    void Close() override {}

    // Batch.
    BatchState& Batch() override { return m_batch; }
    const profiles::ConversionSettings& Settings() override { return m_settings; }
    FileMediaFormat* RecordAtRow(int nRow) override {
        return m_records.At(m_rows.at(static_cast<std::size_t>(nRow)));
    }
    void FillRow(int) override {}
    void ShowFailureMessage(const std::string&) override {}
    void BatchEnded(bool) override {}

private:
    profiles::ConversionSettings m_settings;
    CRecordArray m_records;
    std::vector<int> m_rows;
    CEncoderJob m_job;
    BatchState m_batch;
};

std::vector<std::string> EncoderLines(const std::string& logPath) {
    std::vector<std::string> lines;
    for (const std::string& line : testkit::ReadLines(logPath)) {
        if (line.rfind("Kestrelvx", 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(LogCompare, SameCommandLinesAsTheWindowsBatchDriver) {
    testkit::TempDir dir;
    const std::string bin = dir.File("bin");
    const std::string program = clitest::SetUpFakeEncoder(bin, dir.File("runs.txt"), 12, 2, "0");
    ASSERT_FALSE(program.empty());
    const std::vector<std::string> files = {dir.File("first clip.avi"), dir.File("second.mkv")};
    for (const std::string& file : files) {
        std::ofstream(file) << "fake";
    }
    const std::string out = dir.File("out");

    // The program, with options for every setting.
    clitest::CliCall call;
    call.program = program;
    call.args = {
        "--device", "iPhone 3GS",      "--rate",   "23.976",        "--vbr", "--video-bitrate",
        "900",      "--max",           "1200",     "--min",         "300",   "--channels",
        "2",        "--audio-bitrate", "64",       "--sample-rate", "48000", "--start",
        "1",        "--end",           "00:00:08", "--output",      out,     files[0],
        files[1]};
    // One file at a time, as the window converts: the command lines come in the same order.
    call.args.insert(call.args.begin(), {"--jobs", "1"});
    call.env = {{"XDG_CONFIG_HOME", dir.File("config")}, {"LUMICAST_LOG", dir.File("cli.log")}};
    const clitest::CliRun run = clitest::RunCli(call);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    std::filesystem::remove_all(out); // the window's run must find the same free names

    // The window: the same choices made on the form, the same part chosen in the preview.
    profiles::ConversionSettings settings = profiles::ConversionSettings::StartUp();
    settings.OnSizeChoiceChanged(6); // 480x320 - iPhone 3GS
    settings.m_nFrameRatePos = 2;    // 23.976 fps
    settings.OnVariableBitRateToggled(true);
    settings.m_nVideoBitRatePos = 8; // 900 kbps
    settings.m_strMaxRate = "1200";
    settings.m_strMinRate = "300";
    settings.m_nChannelsPos = 2;     // 2 Channels, Stereo
    settings.m_nAudioBitRatePos = 3; // 64 kbps
    settings.m_nSampleRatePos = 3;   // 48000 HZ
    settings.m_strOutputFolder = out + "/";

    const std::string savedLog = GetLogPath();
    SetLogPath(dir.File("window.log"));
    {
        testkit::ScopedProgramFolder folder(bin);
        PlainList list(settings);
        ASSERT_EQ(LoadSourcesThread(list, files), 0);
        for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
            list.RecordAtRow(nRow)->m_nStart = 1;
            list.RecordAtRow(nRow)->m_nEnd = 8;
            list.RecordAtRow(nRow)->m_nStatus = kStatusWaiting;
        }
        ConvertSourcesThread(&list);
    }
    SetLogPath(savedLog);

    const std::vector<std::string> cliLines = EncoderLines(dir.File("cli.log"));
    const std::vector<std::string> windowLines = EncoderLines(dir.File("window.log"));
    EXPECT_EQ(cliLines, windowLines);
    // Both conversions are among them, with every option.
    int nConversions = 0;
    for (const std::string& line : cliLines) {
        if (line.find(" -y ") != std::string::npos) {
            ++nConversions;
            EXPECT_NE(line.find(" -vcodec xvid -s 480x320 -r 23.976 -bt 900 -maxrate 1200 "
                                "-minrate 300 -ac 2 -ab 64 -ar 48000 -ss 1 -t 7 -y "),
                      std::string::npos)
                << line;
        }
    }
    EXPECT_EQ(nConversions, 2);
}

} // namespace
