// Faults of the encoder, the output folder and the sources while the conversion dialog runs a
// batch: each failed row turns "Error" with its own cause in the log, the other rows keep their
// outcome, Cancel All ends a hung encoder at once, and no process is left behind.
#include <QPushButton>
#include <QtTest>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "common/fake_encoder.h"
#include "common/media.h"
#include "common/processes.h"
#include "common/testkit.h"
#include "engine/ui/convert_dlg.h"
#include "engine/ui/helpers/convert_fixture.h"
#include "support/log.h"

using namespace convert_test;
namespace fs = std::filesystem;

namespace {

// A fake encoder that records its process id and runs `forA` / `forB` / `forC` by the source's
// name; each ends, unless its lines did, with one status line and a written output.
std::string FaultBody(const std::string& strPids, const std::string& forA, const std::string& forB,
                      const std::string& forC = "") {
    return testkit::RecordPidBody(strPids) + "pids=" + testkit::ShellQuote(strPids) + R"(
in=""; out=""; prev=""
for a in "$@"; do
  case "$prev" in -i) in="$a";; -y) out="$a";; esac
  prev="$a"
done
[ -e "$in" ] || { echo "Kestrelvx: error: cannot open '$in'"; exit 1; }
case "$in" in
  */a.avi)
)" + forA + R"(
  ;;
  */b.avi)
)" + forB + R"(
  ;;
  */c.avi)
)" + forC + R"(
  ;;
esac
echo "frame=1 time=1.00 bitrate=1"
printf 'x' > "$out"
exit 0
)";
}

} // namespace

class ConvertFaultTest : public QObject {
    Q_OBJECT

private slots:
    void encoderAndFolderFaultsNameTheirCause() {
        struct Case {
            const char* name;
            std::string forA;
            std::string forB;
            std::vector<int> statuses;
            std::string cause; // the line in the log; {out}, {bin}, {b} stand for the paths
        };
        const std::vector<Case> cases = {
            {"crash",
             "",
             "echo 'frame=1 time=0.50 bitrate=1'; printf x > \"$out\"; kill -SEGV $$",
             {kStatusDone, kStatusError, kStatusDone},
             "The encoder crashed (signal 11)."},
            // Past the file size limit the writer gets SIGXFSZ, as a full disk stops it.
            {"disk full",
             "",
             "ulimit -f 1; exec head -c 100000 /dev/zero > \"$out\"",
             {kStatusDone, kStatusError, kStatusDone},
             "The disk is full: {out}b-cvt.mp4 could not be written."},
            {"encoder removed during the batch",
             "rm -f \"$0\"",
             "",
             {kStatusDone, kStatusError, kStatusError},
             "The encoder could not be found: Kestrelvx is neither beside the program ({bin}) "
             "nor in PATH."},
            {"encoder made not executable during the batch",
             "chmod 644 \"$0\"",
             "",
             {kStatusDone, kStatusError, kStatusError},
             "The encoder is not executable: {bin}/Kestrelvx"},
            {"source deleted after it was added",
             "rm -f \"${in%/*}/b.avi\"",
             "",
             {kStatusDone, kStatusError, kStatusDone},
             "The source is gone: {b}"},
            {"output folder removed while the batch runs",
             "",
             "rm -rf \"${out%/*}\"; exit 1",
             {kStatusDone, kStatusError, kStatusError},
             "The output folder is gone: {outfolder}"},
        };
        for (const Case& fault : cases) {
            DialogSetup setup;
            const std::string strPids = setup.m_work.File("pids");
            testkit::WriteFakeEncoder(setup.m_bin.Path(),
                                      FaultBody(strPids, fault.forA, fault.forB));
            SetLogPath(setup.m_work.File("lumicast.log"));
            for (const char* name : {"a", "b", "c"}) {
                const std::string strSource = setup.m_work.File(std::string(name) + ".avi");
                testkit::Shell("printf source > " + testkit::ShellQuote(strSource));
                setup.m_list.Add(MakeRecord(strSource, 0, 3));
            }
            const std::string strB = setup.m_work.File("b.avi");
            auto pDialog = setup.MakeDialog();
            setup.m_prompts.AnswerMessage(PromptResult::Ok);
            setup.m_prompts.AnswerMessage(PromptResult::Ok);
            pDialog->DoModal();
            const std::vector<int> statuses = setup.m_list.Statuses();
            SetLogPath("");

            std::string cause = fault.cause;
            std::string strOutFolder = setup.Out();
            strOutFolder.pop_back();
            for (const auto& [key, value] :
                 std::vector<std::pair<std::string, std::string>>{{"{outfolder}", strOutFolder},
                                                                  {"{out}", setup.Out()},
                                                                  {"{bin}", setup.m_bin.Path()},
                                                                  {"{b}", strB}}) {
                for (std::size_t at = cause.find(key); at != std::string::npos;
                     at = cause.find(key)) {
                    cause.replace(at, key.size(), value);
                }
            }
            const std::string log = testkit::ReadFile(setup.m_work.File("lumicast.log"));
            QVERIFY2(statuses == fault.statuses, fault.name);
            QVERIFY2(log.find("\n" + cause + "\n") != std::string::npos,
                     qPrintable(QString::fromStdString(std::string(fault.name) + ": " + log)));
            // The failure message still names the failed sources with the system's texts.
            QVERIFY2(setup.m_prompts.Records().size() == 2, fault.name);
            QVERIFY(setup.m_prompts.At(0).text.startsWith(QString::fromLatin1(kUnknownFormat)));
            QVERIFY(setup.m_prompts.At(0).text.contains(QString::fromStdString("\n" + strB)));
            // A failed row left nothing under its finished name.
            QVERIFY2(!fs::exists(setup.Out() + "b-cvt.mp4"), fault.name);
            QVERIFY2(testkit::LeftProcesses(testkit::ReadPids(strPids)).empty(), fault.name);
            QVERIFY2(testkit::ChildProcesses(getpid()).empty(), fault.name);
        }
    }

    void cancelAllEndsAHungEncoderAtOnce() {
        DialogSetup setup;
        const std::string strPids = setup.m_work.File("pids");
        testkit::WriteFakeEncoder(
            setup.m_bin.Path(),
            FaultBody(strPids, "",
                      "echo 'frame=1 time=0.50 bitrate=1'; sleep 600 & echo $! >> \"$pids\"; "
                      "wait"));
        for (const char* name : {"a", "b", "c"}) {
            const std::string strSource = setup.m_work.File(std::string(name) + ".avi");
            testkit::Shell("printf source > " + testkit::ShellQuote(strSource));
            setup.m_list.Add(MakeRecord(strSource, 0, 3));
        }
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        Poller press([&] {
            // The second encoder and its sleeping child are both there, and silent.
            if (testkit::ReadPids(strPids).size() < 3) {
                return false;
            }
            dialog.CancelAllButton()->click();
            return true;
        });
        // The hung encoder would sleep for ten minutes: a batch that waited for it gets it ended
        // from outside.
        testkit::ProcessWatchdog watchdog(strPids);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        QVERIFY(press.Done());
        QVERIFY2(!watchdog.Fired(), "Cancel All waited for the hung encoder");
        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusDone, kStatusSkip, kStatusSkip}));
        QVERIFY(!fs::exists(setup.Out() + "b-cvt.mp4"));
        QVERIFY(testkit::LeftProcesses(testkit::ReadPids(strPids)).empty());
        QVERIFY(testkit::ChildProcesses(getpid()).empty());
    }

    // Skip with the real encoder at many moments of a conversion: before the encoder starts,
    // during its first second, near its end, after it. A file under a finished name is always
    // whole.
    void skipAtAnyMomentLeavesNoUnreadableFinishedFile() {
        const std::string strEncoder = testkit::BinDir() + "/Kestrelvx";
        if (!fs::exists(strEncoder)) {
            QSKIP("Kestrelvx is not built");
        }
        testkit::TempDir clips;
        const std::string strFirst = clips.File("first.mp4");
        const std::string strSecond = clips.File("second.mp4");
        QVERIFY(testkit::MakeClip(strFirst, 3, 160, 120, true));
        fs::copy_file(strFirst, strSecond);
        for (const int nDelayMs : {0, 100, 300, 700, 1200, 2000}) {
            DialogSetup setup;
            const std::string strPids = setup.m_work.File("pids");
            const std::string strPressed = setup.m_work.File("pressed");
            // The first row's encoder stays until Skip has been pressed, so that every moment
            // falls in the first row, however fast the machine converts.
            testkit::WriteFakeEncoder(
                setup.m_bin.Path(),
                testkit::RecordPidBody(strPids) + testkit::ShellQuote(strEncoder) +
                    " \"$@\"\nstatus=$?\ncase \"$*\" in *first*)\n" +
                    testkit::WaitForFileBody(strPressed) + ";;\nesac\nexit $status\n");
            setup.m_list.Add(MakeRecord(strFirst, 0, 3));
            setup.m_list.Add(MakeRecord(strSecond, 0, 3));
            auto pDialog = setup.MakeDialog();
            CConvertDlg& dialog = *pDialog;
            std::chrono::steady_clock::time_point firstSeen;
            bool bSeen = false;
            Poller press([&] {
                if (dialog.Batch().m_nCurrent != 0) {
                    return false;
                }
                if (!bSeen) {
                    bSeen = true;
                    firstSeen = std::chrono::steady_clock::now();
                }
                if (std::chrono::steady_clock::now() - firstSeen <
                    std::chrono::milliseconds(nDelayMs)) {
                    return false;
                }
                dialog.SkipButton()->click();
                testkit::WriteFile(strPressed, "");
                return true;
            });
            setup.m_prompts.AnswerMessage(PromptResult::Ok);
            dialog.DoModal();
            const std::vector<int> statuses = setup.m_list.Statuses();
            QVERIFY2(statuses[1] == kStatusDone, qPrintable(QString::number(nDelayMs)));
            for (const auto& entry : fs::directory_iterator(setup.Out())) {
                QVERIFY2(testkit::ProbeStreams(entry.path().string()).ok,
                         qPrintable(QString::fromStdString(entry.path().string()) + " after " +
                                    QString::number(nDelayMs) + " ms"));
            }
            // The second row ran to its end after the first was skipped.
            QVERIFY(testkit::ProbeStreams(setup.m_list.Record(1).GetTargetPath()).ok);
            QVERIFY(testkit::LeftProcesses(testkit::ReadPids(strPids)).empty());
            QVERIFY(testkit::ChildProcesses(getpid()).empty());
        }
    }
};

QTEST_MAIN(ConvertFaultTest)
#include "convert_dlg_fault_test.moc"
