// The Add dialog's file types: the entries built from the system's list, the containers the
// encoder reads, and the open-file dialog that shows them.
#include "sources/ui/open_filter.h"

#include "common/testkit.h"
#include "ui/prompt_service_qt.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QStringList Names(const QList<FilterEntry>& entries) {
    QStringList names;
    for (const FilterEntry& entry : entries) {
        names << entry.name;
    }
    return names;
}

const FilterEntry& Entry(const QList<FilterEntry>& entries, const QString& strName) {
    static const FilterEntry kNone;
    for (const FilterEntry& entry : entries) {
        if (entry.name == strName) {
            return entry;
        }
    }
    return kNone;
}

QFileDialog* OpenFileDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

// The names the dialog's file view lists in its current folder.
QStringList Listed(QFileDialog& dialog) {
    const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (view == nullptr || view->model() == nullptr) {
        return names;
    }
    const QAbstractItemModel& model = *view->model();
    for (int nRow = 0; nRow < model.rowCount(view->rootIndex()); ++nRow) {
        names << model.index(nRow, 0, view->rootIndex()).data().toString();
    }
    names.sort();
    return names;
}

} // namespace

class OpenFilterTest : public QObject {
    Q_OBJECT
private slots:
    void entriesShowEachNameOnceAndOfferWhatTheEncoderReads();
    void dialogListsNamesOnlyAndFiltersByThem();
};

void OpenFilterTest::entriesShowEachNameOnceAndOfferWhatTheEncoderReads() {
    const QList<FilterEntry> entries = AddFilesFilterEntries();
    // The system's entries in its order, each name once and without its own pattern list.
    QCOMPARE(Names(entries),
             QStringList({"All Media Files", "Video Files", "Windows Media Files",
                          "QuickTime Media Files", "Real Media Files", "OGG Files", "All Files"}));
    for (const FilterEntry& entry : entries) {
        // No pattern twice ("*.mov" stands twice in the system's list).
        QCOMPARE(QSet<QString>(entry.patterns.begin(), entry.patterns.end()).size(),
                 entry.patterns.size());
        QVERIFY2(!entry.name.contains(QLatin1Char('(')), qPrintable(entry.name));
    }
    QCOMPARE(Entry(entries, "All Files").patterns, QStringList{"*"});
    QCOMPARE(Entry(entries, "OGG Files").patterns,
             QStringList({"*.oga", "*.ogg", "*.ogm", "*.ogv"}));
    // The system's own types keep their place at the head of the media list.
    const QStringList& all = Entry(entries, "All Media Files").patterns;
    QCOMPARE(all.mid(0, 3), QStringList({"*.3gp", "*.acp", "*.aif"}));
    const QStringList& video = Entry(entries, "Video Files").patterns;
    QVERIFY(video.contains("*.mp4") && video.contains("*.3gp") && !video.contains(".mp4"));

    // Every container the encoder reads is offered; the video ones also under "Video Files".
    QVERIFY(EncoderExtensions().size() >= 40);
    for (const MediaExtension& extension : EncoderExtensions()) {
        const QString strPattern = QStringLiteral("*.") + QLatin1String(extension.name);
        QVERIFY2(all.contains(strPattern), qPrintable(strPattern));
        QCOMPARE(video.contains(strPattern), extension.video || strPattern == "*.ogg");
    }
    for (const char* szExt : {"mkv", "webm", "flv", "ts", "m2ts", "mts", "vob", "opus", "flac"}) {
        QVERIFY2(all.contains(QStringLiteral("*.") + QLatin1String(szExt)), szExt);
    }

    // The Qt form: one "name (patterns)" per entry; labels holding their own list lose it.
    const QStringList texts = AddFilesFilter().split(QStringLiteral(";;"));
    QCOMPARE(texts.size(), 7);
    QVERIFY(texts[1].startsWith(QStringLiteral("Video Files (*.3gp *.asf *.avi ")));
    QCOMPARE(texts[6], QStringLiteral("All Files (*)"));
    QCOMPARE(QtFilterFromPairs(QStringLiteral("A (*.x)|*.x;*.y  ;; *.z *.x|Empty||B|*.*|")),
             QStringLiteral("A (*.x *.y *.z);;B (*)"));
}

void OpenFilterTest::dialogListsNamesOnlyAndFiltersByThem() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char* szName :
         {"clip.mkv", "clip.webm", "talk.opus", "show.MTS", "notes.txt", "tone.wav"}) {
        QFile file(folder.filePath(QString::fromLatin1(szName)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    CQtPromptService service;
    QStringList combo;
    QStringList allMedia;
    QStringList videoOnly;
    int nComboWidth = 0;
    int nDialogWidth = 0;
    bool bSeen = false;
    // Looks at the dialog while it runs modally.
    const auto inspect = [&](QFileDialog& dialog) {
        dialog.setDirectory(folder.path());
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types != nullptr);
        for (int i = 0; i < types->count(); ++i) {
            combo << types->itemText(i);
        }
        nComboWidth = types->sizeHint().width();
        nDialogWidth = dialog.sizeHint().width();
        const QStringList filters = dialog.nameFilters();
        QTRY_COMPARE_WITH_TIMEOUT(Listed(dialog).size(), 5, testkit::kPatientMs);
        allMedia = Listed(dialog);
        // With LUMICAST_SCREENSHOT_DIR set, the dialog as the user sees it is saved there.
        if (const QByteArray dir = qgetenv("LUMICAST_SCREENSHOT_DIR"); !dir.isEmpty()) {
            dialog.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/add-dialog.png"));
        }
        dialog.selectNameFilter(filters.value(1));
        QTRY_COMPARE_WITH_TIMEOUT(Listed(dialog).size(), 3, testkit::kPatientMs);
        videoOnly = Listed(dialog);
        dialog.selectNameFilter(filters.value(filters.size() - 1));
        QTRY_COMPARE_WITH_TIMEOUT(Listed(dialog).size(), 6, testkit::kPatientMs);
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name != nullptr);
        name->setText(QStringLiteral("clip.webm")); // as typed
        QCOMPARE(dialog.selectedFiles(), QStringList{folder.filePath("clip.webm")});
    };
    std::function<void()> look = [&] {
        QFileDialog* dialog = OpenFileDialog();
        if (dialog == nullptr) {
            QTimer::singleShot(10, look);
            return;
        }
        bSeen = true;
        inspect(*dialog);
        if (QTest::currentTestFailed()) {
            dialog->reject();
        } else {
            static_cast<QDialog*>(dialog)->accept(); // as the Open button does
        }
    };
    QTimer::singleShot(0, look);
    const QStringList chosen = service.OpenFiles(nullptr, QStringLiteral("Add"), AddFilesFilter());
    QVERIFY(bSeen);
    // Each entry shows its name once, without the long pattern lists.
    QCOMPARE(combo,
             QStringList({"All Media Files", "Video Files", "Windows Media Files",
                          "QuickTime Media Files", "Real Media Files", "OGG Files", "All Files"}));
    QVERIFY2(nComboWidth < 300, qPrintable(QString::number(nComboWidth)));
    QVERIFY2(nDialogWidth < 800, qPrintable(QString::number(nDialogWidth)));
    // The first entry is chosen and lets through what the encoder reads, case aside.
    QCOMPARE(allMedia, QStringList({"clip.mkv", "clip.webm", "show.MTS", "talk.opus", "tone.wav"}));
    QCOMPARE(videoOnly, QStringList({"clip.mkv", "clip.webm", "show.MTS"}));
    QCOMPARE(chosen, QStringList{QDir(folder.path()).filePath("clip.webm")});
}

QTEST_MAIN(OpenFilterTest)
#include "open_filter_test.moc"
