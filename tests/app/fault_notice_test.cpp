// Faults of the settings file and of the diagnostic log, injected under the real main window: the
// window starts, names each cause once in one plain line, keeps the user's settings file, and goes
// on adding and converting files.
//
// File permissions mean nothing to root, so when the tests run as root the program becomes the
// unprivileged user "nobody" before anything else happens.
#include "app/app_start.h"
#include "app/fault_notice.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/fake_encoder.h"
#include "common/gui/scripted_prompts.h"
#include "common/testkit.h"
#include "profiles/settings.h"
#include "sources/ui/source_list.h"
#include "support/log.h"

#include <QApplication>
#include <QStatusBar>
#include <QTest>

#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

// Probes report a 95-second clip; a conversion writes its output (the last argument) and ends.
const char kEncoderScript[] =
    "if [ \"$#\" -le 3 ]; then\n"
    "  printf 'Input #0, avi, from x:\\n  Duration: 00:01:35.00, start: 0.000000, bitrate: 1014 "
    "kb/s\\n    Stream #0.0: Video: mpeg4, yuv420p, 640x480, 25.00 tb(r)\\n'\n"
    "  exit 1\n"
    "fi\n"
    "for last in \"$@\"; do :; done\n"
    "printf 'frame=1 time=95.00 bitrate=1\\n'\n"
    "echo converted > \"$last\"\n"
    "exit 0\n";

const std::string kKey = "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\n";

std::string StoreText(const std::string& outputFolder) {
    return "Windows Registry Editor Version 5.00\n\n" + kKey +
           "\"HiddenToolTips\"=\"TRUE\"\n\"OutputPath\"=\"" + outputFolder +
           "/\"\n\"Language\"=dword:00000409\n";
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    QVERIFY(file != nullptr);
    QCOMPARE(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
}

// The bytes of a file, read with the mode changed for a moment when it has none.
std::string ReadBytes(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return "<missing>";
    }
    chmod(path.c_str(), st.st_mode | S_IRUSR);
    std::string bytes = testkit::ReadFile(path);
    chmod(path.c_str(), st.st_mode);
    return bytes;
}

QStringList FolderNames(const std::string& folder) {
    QStringList names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names << QString::fromStdString(entry.path().filename().string());
    }
    names.sort();
    return names;
}

// Standard error of this process goes to a file while the object lives.
class StandardErrorCapture {
public:
    explicit StandardErrorCapture(const std::string& file) : m_strFile(file) {
        std::fflush(stderr);
        m_nSaved = dup(2);
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    ~StandardErrorCapture() { Restore(); }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;
    std::string Text() {
        Restore();
        return testkit::ReadFile(m_strFile);
    }

private:
    void Restore() {
        if (m_nSaved >= 0) {
            std::fflush(stderr);
            dup2(m_nSaved, 2);
            close(m_nSaved);
            m_nSaved = -1;
        }
    }
    std::string m_strFile;
    int m_nSaved = -1;
};

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

class FaultNoticeTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void settingsFileFaults();
    void logFileFaults();

private:
    std::unique_ptr<testkit::TempDir> m_pWork;
    std::string m_strConfig;
    std::string m_strStore;
};

void FaultNoticeTest::init() {
    QVERIFY2(geteuid() != 0, "the permission faults need an unprivileged user");
    m_pWork = std::make_unique<testkit::TempDir>();
    m_strConfig = m_pWork->Path() + "/config";
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_strConfig));
    m_strStore = SettingsFilePath();
    QVERIFY(m_strStore.rfind(m_strConfig, 0) == 0);
    fs::create_directories(fs::path(m_strStore).parent_path());
    ForgetReportedFaults();
}

void FaultNoticeTest::cleanup() {
    SetLogPath("");
    // Give the owner back every right, so the temporary folder can be removed.
    for (const auto& entry : fs::recursive_directory_iterator(m_pWork->Path())) {
        chmod(entry.path().c_str(), 0700);
    }
    m_pWork.reset();
}

void FaultNoticeTest::settingsFileFaults() {
    const std::string out = m_pWork->Path() + "/chosen";
    const std::string other = m_pWork->Path() + "/other";
    fs::create_directories(out);
    fs::create_directories(other);
    const std::string folder = fs::path(m_strStore).parent_path().string();
    const std::string good = StoreText(out);

    std::mt19937 random(16);
    std::string noise(4096, '\0');
    for (char& byte : noise) {
        byte = static_cast<char>(random() & 0xFF);
    }
    // Cut in the middle of the last line: what comes before it still counts.
    const std::string truncated = good.substr(0, good.find("\"Language\"") + 14);

    struct Case {
        const char* name;
        std::string bytes;
        mode_t fileMode;
        mode_t folderMode;
        QString line;        // the cause named
        std::string startIn; // the output folder the window starts with
        bool bCopyKept;      // the change is written, after a copy of the damaged file
    };
    const std::string cause = "Settings file " + m_strStore;
    const Case cases[] = {
        {"unreadable", good, 0000, 0700,
         QString::fromStdString(cause + " cannot be read (Permission denied); the default "
                                        "settings are used and the file is left as it is."),
         DefaultOutputFolder(), false},
        {"random bytes", noise, 0600, 0700,
         QString::fromStdString(cause + " is damaged; the settings that could be read are used, "
                                        "and a copy of the file is kept before it is written "
                                        "again."),
         DefaultOutputFolder(), true},
        {"truncated", truncated, 0600, 0700,
         QString::fromStdString(cause + " is damaged; the settings that could be read are used, "
                                        "and a copy of the file is kept before it is written "
                                        "again."),
         out + "/", true},
        {"read-only folder", good, 0600, 0500,
         QString::fromStdString(cause + " cannot be written (Permission denied); changes made in "
                                        "this run will not be kept."),
         out + "/", false},
    };
    for (const Case& c : cases) {
        const QByteArray name(c.name);
        ForgetReportedFaults();
        fs::remove_all(folder);
        fs::create_directories(folder);
        WriteBytes(m_strStore, c.bytes);
        chmod(m_strStore.c_str(), c.fileMode);
        chmod(folder.c_str(), c.folderMode);

        ScriptedPrompts prompts;
        std::unique_ptr<CMainFrame> frame = StartApplication();
        QVERIFY2(frame != nullptr && frame->isVisible(), name);
        CVelmoraView* view = frame->View();
        QVERIFY2(view != nullptr, name);
        QCOMPARE(ReportedFaults(), QStringList{c.line});
        QCOMPARE(frame->statusBar()->currentMessage(), c.line);
        QCOMPARE(view->OutputFolder(), QString::fromStdString(c.startIn));
        // Starting writes nothing: the user's file is as it was.
        QCOMPARE(ReadBytes(m_strStore), c.bytes);
        QCOMPARE(FolderNames(folder), QStringList{"settings.reg"});

        // A change of the output folder is a settings write.
        prompts.AnswerFolder(QString::fromStdString(other));
        view->OnBrowse();
        QCOMPARE(view->OutputFolder(), QString::fromStdString(other + "/"));
        QCOMPARE(ReportedFaults(), QStringList{c.line}); // named once, not again for the write
        const QStringList names = FolderNames(folder);
        if (c.bCopyKept) {
            QCOMPARE(names.size(), 3);
            QVERIFY2(names[1].startsWith("settings.reg.damaged-"), name);
            QCOMPARE(ReadBytes(folder + "/" + names[1].toStdString()), c.bytes);
            QCOMPARE(ReadOutputPathSetting(), other + "/");
        } else {
            QCOMPARE(ReadBytes(m_strStore), c.bytes);
            QVERIFY2(!names.join(' ').contains("tmp"), name); // no half-written file left
        }
        QCOMPARE(prompts.Unscripted(), 0);
        frame.reset();
    }
}

void FaultNoticeTest::logFileFaults() {
    testkit::TempDir bin;
    QVERIFY(!testkit::WriteFakeEncoder(bin.Path(), kEncoderScript).empty());
    const testkit::ScopedProgramFolder program(bin.Path());
    WriteBytes(m_strStore, StoreText(m_pWork->Path()));
    const std::string media = m_pWork->Path() + "/media";
    const std::string out = m_pWork->Path() + "/out";
    fs::create_directories(media);
    fs::create_directories(out);
    WriteBytes(media + "/one.avi", "clip");
    WriteBytes(media + "/two.avi", "clip");

    // The log's folder exists but takes no new files; a folder in place of the log fails alike.
    const std::string locked = m_pWork->Path() + "/locked";
    fs::create_directories(locked);
    chmod(locked.c_str(), 0500);
    const std::string logs[] = {locked + "/lumicast.log", m_pWork->Path()};
    const QString reasons[] = {"Permission denied", "Is a directory"};
    for (int i = 0; i < 2; ++i) {
        ForgetReportedFaults();
        SetLogPath(logs[i]);
        const QString line =
            QStringLiteral("Diagnostic log %1 cannot be written (%2); the application goes on "
                           "without it.")
                .arg(QString::fromStdString(logs[i]), reasons[i]);
        StandardErrorCapture capture(m_pWork->Path() + "/stderr-" + std::to_string(i));

        ScriptedPrompts prompts;
        std::unique_ptr<CMainFrame> frame = StartApplication();
        QVERIFY(frame != nullptr);
        QCOMPARE(ReportedFaults(), QStringList{line});
        QCOMPARE(frame->statusBar()->currentMessage(), line);

        // Adding and converting log many lines; they are lost, and the work is done.
        CVelmoraView* view = frame->View();
        prompts.AnswerFolder(QString::fromStdString(out));
        view->OnBrowse();
        prompts.AnswerFiles({QString::fromStdString(media + "/one.avi"),
                             QString::fromStdString(media + "/two.avi")});
        view->OnAdd();
        QCOMPARE(view->RowCount(), 2);
        prompts.AnswerMessage(PromptResult::Ok);
        QVERIFY(view->OnCommand(32808));
        QCOMPARE(view->List()->Text(0, 3), QStringLiteral("Done"));
        QCOMPARE(view->List()->Text(1, 3), QStringLiteral("Done"));
        QCOMPARE(testkit::ReadFile(out + "/one-cvt.mp4"), std::string("converted\n"));
        QCOMPARE(testkit::ReadFile(out + "/two-cvt.mp4"), std::string("converted\n"));
        QCOMPARE(prompts.Last().text, QStringLiteral("Conversion is completed."));
        frame.reset();

        // Named once on standard error, however many lines were lost.
        const std::string err = capture.Text();
        QCOMPARE(Count(err, "Diagnostic log"), 1);
        QCOMPARE(Count(err, "Lumicast: " + line.toStdString() + "\n"), 1);
        QVERIFY(!fs::exists(logs[0]));
    }
}

int main(int argc, char** argv) {
    // Root ignores file modes: become "nobody" (group first, while it is still allowed).
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
        std::perror("cannot leave root");
        return 1;
    }
    QApplication app(argc, argv);
    FaultNoticeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "fault_notice_test.moc"
