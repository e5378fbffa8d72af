// The loading pass as the user starts it: Add with the open-file dialog, and drops, through the
// loading dialog, with a scripted encoder and with the real one on generated clips.
#include "app/form_settings.h"
#include "app/velmora_view.h"
#include "common/fake_encoder.h"
#include "common/gui/scripted_prompts.h"
#include "common/media.h"
#include "common/testkit.h"
#include "probe/ui/load_source_dlg.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

#include <QApplication>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QTest>
#include <QUrl>

#include <QDir>
#include <QElapsedTimer>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

// Reports a 95-second clip for every input except those whose path holds "bad". A path holding
// "slow" takes half a second first.
const char kEncoderScript[] =
    "case \"$3\" in\n"
    "  *bad*) echo \"$3: Invalid data found when processing input\"; exit 1 ;;\n"
    "  *slow*) sleep 0.5 ;;\n"
    "esac\n"
    "printf 'Input #0, avi, from x:\\n"
    "  Duration: 00:01:35.00, start: 0.000000, bitrate: 1014 kb/s\\n"
    "    Stream #0.0: Video: mpeg4, yuv420p, 640x480, 25.00 tb(r)\\n"
    "    Stream #0.1: Audio: mp3, 44100 Hz, stereo, 128 kb/s\\n'\n"
    "exit 1\n";

// Reports a 95-second clip for a file that begins with "GOOD"; anything else (noise, an empty
// file, a folder, a name that does not exist) is not media.
const char kContentScript[] =
    "case \"$(head -c 4 -- \"$3\" 2>/dev/null)\" in\n"
    "  GOOD) printf 'Input #0, avi, from x:\\n"
    "  Duration: 00:01:35.00, start: 0.000000, bitrate: 1014 kb/s\\n'; exit 1 ;;\n"
    "esac\n"
    "echo \"$3: Invalid data found when processing input\"; exit 1\n";

// Processes of this test still alive (or not reaped), and any left running from the encoder's
// folder: a loading pass leaves neither.
QStringList Leftovers(const std::string& encoderFolder) {
    QStringList found;
    const QString self = QString::number(getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : entries) {
        if (pid.toInt() <= 0 || pid == self) {
            continue;
        }
        std::ifstream status("/proc/" + pid.toStdString() + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("PPid:", 0) == 0 &&
                QString::fromStdString(line.substr(5)).trimmed() == self) {
                found << "child " + pid;
            }
        }
        const QByteArray cmdline =
            testkit::ReadFile("/proc/" + pid.toStdString() + "/cmdline").c_str();
        if (cmdline.contains(QByteArray::fromStdString(encoderFolder))) {
            found << "encoder " + pid;
        }
    }
    return found;
}

QStringList Names(const CVelmoraView& view) {
    QStringList names;
    for (int nRow = 0; nRow < view.RowCount(); ++nRow) {
        names << view.List()->Text(nRow, 0);
    }
    return names;
}

// Watches for loading dialogs being shown and records their progress bar positions.
class DialogWatcher : public QObject {
public:
    DialogWatcher() { qApp->installEventFilter(this); }
    ~DialogWatcher() override { qApp->removeEventFilter(this); }
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    int nShown = 0;
    QList<int> progress;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<CLoadSourceDlg*>(watched)) {
                ++nShown;
                if (auto* bar = dialog->findChild<QProgressBar*>(QStringLiteral("ctl_1026"))) {
                    connect(bar, &QProgressBar::valueChanged, this,
                            [this](int nValue) { progress.append(nValue); });
                }
            }
        }
        return false;
    }
};

// Hands a drop to the view as the window system's drag would, once the view accepted the drag.
void Deliver(QWidget* view, QDropEvent* drop) {
    QDragEnterEvent enter(drop->position().toPoint(), drop->possibleActions(), drop->mimeData(),
                          drop->buttons(), drop->modifiers());
    static_cast<QObject*>(view)->event(&enter);
    QVERIFY(enter.isAccepted());
    static_cast<QObject*>(view)->event(drop);
}

CLoadSourceDlg* OpenLoadDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<CLoadSourceDlg*>(widget); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

} // namespace

class LoadingPassTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addFourPathsSecondAndFourthFail();
    void theSamePathTwiceGivesTwoRows();
    void dialogStaysWhileTheWorkerRuns();
    void dropAddsFilesAndSelectsTheLastRow();
    void removeAllThenAddShowsTheNewFile();
    void realClipsThroughTheRealEncoder();
    void fiveHundredFilesOfWhichFiftyAreJunk();

private:
    std::unique_ptr<CVelmoraView> MakeView();

    testkit::TempDir m_config;
    testkit::TempDir m_encoder;
    testkit::TempDir m_media;
    std::unique_ptr<testkit::ScopedProgramFolder> m_folder;
};

void LoadingPassTest::initTestCase() {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path()));
    QVERIFY(!testkit::WriteFakeEncoder(m_encoder.Path(), kEncoderScript).empty());
}

void LoadingPassTest::init() {
    m_folder = std::make_unique<testkit::ScopedProgramFolder>(m_encoder.Path());
}

void LoadingPassTest::cleanup() {
    m_folder.reset();
}

std::unique_ptr<CVelmoraView> LoadingPassTest::MakeView() {
    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    view->SettingsControls()->SetOutputFolder(QString::fromStdString(m_media.Path() + "/"));
    return view;
}

void LoadingPassTest::addFourPathsSecondAndFourthFail() {
    auto view = MakeView();
    ScriptedPrompts prompts;
    DialogWatcher watcher;
    prompts.AnswerFiles(
        {"/media/one.avi", "/media/bad two.avi", "/media/three.mov", "/media/bad four.mpg"});
    prompts.AnswerMessage(PromptResult::Ok);
    view->OnAdd();

    QCOMPARE(watcher.nShown, 1);
    QCOMPARE(watcher.progress, (QList<int>{25, 50, 75, 100}));
    QCOMPARE(Names(*view), (QStringList{"one.avi", "three.mov"}));
    QCOMPARE(view->List()->Text(1, 1), QStringLiteral("three-cvt.mp4"));
    QCOMPARE(view->List()->Text(1, 2), QStringLiteral("00:00:00-00:01:35"));
    QCOMPARE(view->List()->Text(1, 3), QStringLiteral("Ready"));

    // One message, with a warning icon, naming both failed files on lines of their own.
    QCOMPARE(prompts.CountOf(ScriptedPrompts::Kind::Message), 1);
    QCOMPARE(prompts.Unscripted(), 0);
    const ScriptedPrompts::Record& message = prompts.Last();
    QCOMPARE(message.icon, PromptIcon::Warning);
    QCOMPARE(message.buttons, PromptButtons::Ok);
    QCOMPARE(message.caption, QStringLiteral("Lumicast"));
    QVERIFY(message.text.startsWith(QStringLiteral(
        "Can't playback the following files.\n\n/media/bad two.avi\n/media/bad four.mpg\n\n"
        "Please note the following reasons:\n")));

    // The last row is selected and the panel describes it.
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{1});
    QVERIFY(view->PanelText().startsWith(
        QStringLiteral("three.mov\n\nDuration:00:01:35.00 (95 s)\nBitrate:1014 kb/s\nVideo:\n")));
}

void LoadingPassTest::theSamePathTwiceGivesTwoRows() {
    auto view = MakeView();
    ScriptedPrompts prompts;
    prompts.AnswerFiles({"/media/clip.avi", "/media/clip.avi"});
    view->OnAdd();
    QCOMPARE(prompts.Count(), 1); // no failure message
    QCOMPARE(Names(*view), (QStringList{"clip.avi", "clip.avi"}));
    QCOMPARE(view->List()->Text(0, 1), QStringLiteral("clip-cvt.mp4"));
    QCOMPARE(view->List()->Text(1, 1), QStringLiteral("clip-cvt.mp4"));
    QCOMPARE(view->List()->ItemData(0), 0);
    QCOMPARE(view->List()->ItemData(1), 1);
}

void LoadingPassTest::dialogStaysWhileTheWorkerRuns() {
    auto view = MakeView();
    ScriptedPrompts prompts;
    prompts.AnswerFiles({"/media/slow.avi", "/media/bad.avi"});
    prompts.AnswerMessage(PromptResult::Ok);
    bool bChecked = false;
    prompts.OnPrompt([&](const ScriptedPrompts::Record& record) {
        if (record.kind != ScriptedPrompts::Kind::Message) {
            return;
        }
        // The worker waits for this message: Escape, Enter and close must not end the dialog.
        CLoadSourceDlg* dialog = OpenLoadDialog();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->IsWorkerRunning());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTest::keyClick(dialog, Qt::Key_Return);
        dialog->close();
        dialog->reject();
        QVERIFY(dialog->isVisible());
        // The timer has shown the second file's line by now.
        auto* text = dialog->findChild<QLabel*>(QStringLiteral("ctl_1030"));
        QVERIFY(text != nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(
            text->text(), QStringLiteral("Detecting selected files.\nNo.2/2: \"/media/bad.avi\""),
            testkit::kPatientMs);
        bChecked = true;
    });
    view->OnAdd();
    QVERIFY(bChecked);
    QCOMPARE(Names(*view), (QStringList{"slow.avi"}));
    QVERIFY(OpenLoadDialog() == nullptr);
}

void LoadingPassTest::dropAddsFilesAndSelectsTheLastRow() {
    auto view = MakeView();
    view->show();
    ScriptedPrompts prompts;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/media/a b.avi")),
                  QUrl(QStringLiteral("https://example.invalid/remote.avi")),
                  QUrl::fromLocalFile(QStringLiteral("/media/c.mkv"))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    Deliver(view.get(), &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE_WITH_TIMEOUT(view->RowCount(), 2, testkit::kPatientMs);
    QCOMPARE(Names(*view), (QStringList{"a b.avi", "c.mkv"}));
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{1});
    QVERIFY(view->PanelText().startsWith(QStringLiteral("c.mkv\n")));

    // An existing selection is left alone.
    view->List()->SelectOnly(0);
    QMimeData more;
    more.setUrls({QUrl::fromLocalFile(QStringLiteral("/media/d.avi"))});
    QDropEvent second(QPointF(10, 10), Qt::CopyAction, &more, Qt::LeftButton, Qt::NoModifier);
    Deliver(view.get(), &second);
    QTRY_COMPARE_WITH_TIMEOUT(view->RowCount(), 3, testkit::kPatientMs);
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{0});
    QCOMPARE(prompts.Count(), 0);
}

void LoadingPassTest::removeAllThenAddShowsTheNewFile() {
    auto view = MakeView();
    ScriptedPrompts prompts;
    prompts.AnswerFiles({"/media/first.avi"});
    view->OnAdd();
    QVERIFY(view->PanelText().startsWith(QStringLiteral("first.avi\n")));
    view->OnRemoveAll();
    QCOMPARE(view->PanelText(), QString());
    prompts.AnswerFiles({"/media/second.avi"});
    view->OnAdd();
    QCOMPARE(view->List()->ItemData(0), 0);
    QVERIFY(view->PanelText().startsWith(QStringLiteral("second.avi\n")));
}

void LoadingPassTest::realClipsThroughTheRealEncoder() {
    m_folder.reset(); // the real Kestrelvx beside the test program
    const std::string strVideo = m_media.File("clip.mp4");
    const std::string strAudio = m_media.File("tone.wav");
    const std::string strText = m_media.File("notes.txt");
    QVERIFY(testkit::MakeClip(strVideo, 2.0, 160, 120, true));
    QVERIFY(testkit::MakeClip(strAudio, 3.0, 0, 0, true));
    QVERIFY(testkit::Shell("echo hello > " + testkit::ShellQuote(strText)) == 0);

    auto view = MakeView();
    ScriptedPrompts prompts;
    prompts.AnswerFiles({QString::fromStdString(strVideo), QString::fromStdString(strText),
                         QString::fromStdString(strAudio)});
    prompts.AnswerMessage(PromptResult::Ok);
    view->OnAdd();

    QCOMPARE(Names(*view), (QStringList{"clip.mp4", "tone.wav"}));
    QCOMPARE(view->List()->Text(0, 1), QStringLiteral("clip-cvt.mp4"));
    QCOMPARE(view->List()->Text(0, 2), QStringLiteral("00:00:00-00:00:02"));
    QCOMPARE(view->List()->Text(1, 2), QStringLiteral("00:00:00-00:00:03"));
    QCOMPARE(view->List()->Text(1, 3), QStringLiteral("Ready"));
    QCOMPARE(prompts.CountOf(ScriptedPrompts::Kind::Message), 1);
    QVERIFY(prompts.Last().text.contains(QStringLiteral("\n") + QString::fromStdString(strText) +
                                         QStringLiteral("\n")));

    // The panel of the video clip: both streams, each cut after its second comma.
    view->List()->SelectOnly(0);
    const QStringList lines = view->PanelText().split(QLatin1Char('\n'));
    QVERIFY2(lines.size() >= 9, qPrintable(view->PanelText()));
    QCOMPARE(lines[0], QStringLiteral("clip.mp4"));
    QCOMPARE(lines[1], QString());
    QVERIFY(lines[2].startsWith(QStringLiteral("Duration:00:00:02")));
    QVERIFY(lines[2].endsWith(QStringLiteral(" (2 s)")));
    QVERIFY(lines[3].startsWith(QStringLiteral("Bitrate:")));
    QCOMPARE(lines[4], QStringLiteral("Video:"));
    QVERIFY(lines[5].startsWith(QStringLiteral("  h264")));
    QVERIFY(lines[6].contains(QStringLiteral("160x120")));
    QCOMPARE(lines[7], QStringLiteral("Audio:"));
    QVERIFY(lines[8].startsWith(QStringLiteral("  aac")));
}

void LoadingPassTest::fiveHundredFilesOfWhichFiftyAreJunk() {
    QVERIFY(!testkit::WriteFakeEncoder(m_encoder.Path(), kContentScript).empty());
    testkit::TempDir files;
    const auto write = [](const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    };
    // Good files under names that quoting, printf formats and shells stumble over.
    const std::string odd[] = {
        "a \"quoted\" name", "back\\slash",         "100%s %d %n",      "$(touch x)", "-i",
        "  spaces  ",        "Überraschung 日本語", "semi;colon|pipe&", "new\nline",  "'single'"};
    QStringList paths;
    QStringList good;
    QStringList junk;
    std::mt19937 random(500);
    for (int n = 0; n < 500; ++n) {
        const std::string stem = odd[(n + n / 10) % 10] + " " + std::to_string(n);
        std::string path = files.File(stem + ".avi");
        if (n % 10 == 3) {
            switch ((n / 10) % 5) {
            case 0: { // noise
                std::string noise(static_cast<std::size_t>(random() % 3000 + 1), '\0');
                for (char& byte : noise) {
                    byte = static_cast<char>(random() % 256);
                }
                if (noise.rfind("GOOD", 0) == 0) {
                    noise[0] = 'X';
                }
                write(path, noise);
                break;
            }
            case 1: // empty
                write(path, "");
                break;
            case 2: // a folder
                std::filesystem::create_directory(path);
                break;
            case 3: { // bytes that are no UTF-8: the name cannot reach the window whole
                path = files.File(std::string("bad \xff\xfe name ") + std::to_string(n) + ".avi");
                write(path, "GOOD clip");
                break;
            }
            default: // gone before the pass reaches it
                break;
            }
            const QString given = QFile::decodeName(QByteArray::fromStdString(path));
            paths << given;
            junk << given;
            continue;
        }
        write(path, "GOOD clip " + std::to_string(n));
        paths << QString::fromStdString(path);
        good << QString::fromStdString(std::filesystem::path(path).filename().string());
    }
    QCOMPARE(good.size(), 450);
    QCOMPARE(junk.size(), 50);

    // Two rows already in the list, one of them converted: they stay as they are.
    auto view = MakeView();
    ScriptedPrompts prompts;
    write(files.File("first.avi"), "GOOD");
    write(files.File("second.avi"), "GOOD");
    prompts.AnswerFiles({QString::fromStdString(files.File("first.avi")),
                         QString::fromStdString(files.File("second.avi"))});
    view->OnAdd();
    QCOMPARE(view->RowCount(), 2);
    view->RecordAtRow(0)->m_nStatus = kStatusDone;
    view->FillRow(0);

    prompts.AnswerFiles(paths);
    prompts.AnswerMessage(PromptResult::Ok);
    QElapsedTimer clock;
    clock.start();
    view->OnAdd();
    qInfo("500 files loaded in %lld ms", static_cast<long long>(clock.elapsed()));

    QCOMPARE(view->RowCount(), 452);
    QCOMPARE(view->List()->Text(0, 3), QStringLiteral("Done"));
    QCOMPARE(view->List()->Text(1, 3), QStringLiteral("Ready"));
    QCOMPARE(Names(*view).mid(0, 2), (QStringList{"first.avi", "second.avi"}));
    QCOMPARE(Names(*view).mid(2), good);
    for (int nRow = 2; nRow < 452; ++nRow) {
        QCOMPARE(view->List()->Text(nRow, 2), QStringLiteral("00:00:00-00:01:35"));
        QCOMPARE(view->List()->Text(nRow, 3), QStringLiteral("Ready"));
        QCOMPARE(view->List()->ItemData(nRow), nRow);
    }
    // One message names every refused file, each on a line of its own, in the order given.
    QCOMPARE(prompts.CountOf(ScriptedPrompts::Kind::Message), 1);
    QCOMPARE(prompts.Unscripted(), 0);
    const QString text = prompts.Last().text;
    QVERIFY(text.startsWith(QStringLiteral("Can't playback the following files.\n\n") +
                            junk.join(QLatin1Char('\n')) + QStringLiteral("\n\nPlease note")));
    QVERIFY(OpenLoadDialog() == nullptr);
    QCOMPARE(Leftovers(m_encoder.Path()), QStringList());
    QVERIFY(!testkit::WriteFakeEncoder(m_encoder.Path(), kEncoderScript).empty());
}

QTEST_MAIN(LoadingPassTest)
#include "loading_pass_test.moc"
