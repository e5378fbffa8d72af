// The Qt prompt service shows real dialogs: the caption, icon and buttons of a message box and the
// answer of each button; the scripted service answers in order and records what was asked.
#include "common/gui/scripted_prompts.h"
#include "ui/prompt_service.h"
#include "ui/prompt_service_qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `act` on the modal dialog once it is open.
void WhenModalOpens(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer();
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start();
}

struct Seen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Shows a message through the Qt service and presses `press` (or Escape when NoButton).
PromptResult Ask(PromptButtons buttons, PromptIcon icon, QMessageBox::StandardButton press,
                 Seen& seen, const QString& caption = QString()) {
    WhenModalOpens([&seen, press](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            modal->close();
            return;
        }
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        if (press == QMessageBox::NoButton) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            box->button(press)->click();
        }
    });
    return Prompts().Message(nullptr, QStringLiteral("Sure?"), buttons, icon, caption);
}

} // namespace

class PromptServiceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void withoutAServiceNothingShowsAndAllIsDismissed();
    void messageBoxHasCaptionIconAndButtons();
    void escapeAnswersLikeTheDismissingButton();
    void folderPickerReturnsTheChosenFolder();
    void openFilesCancelledGivesNothing();
    void scriptedAnswersInOrderAndRecords();
    void scriptedMismatchIsAnsweredAsClosed();

private:
    CQtPromptService m_qtService;
};

void PromptServiceTest::initTestCase() {
    // As start-up does: the Qt dialogs serve every prompt a test does not script.
    SetApplicationPromptService(&m_qtService);
}

void PromptServiceTest::cleanupTestCase() {
    SetApplicationPromptService(nullptr);
}

void PromptServiceTest::withoutAServiceNothingShowsAndAllIsDismissed() {
    SetApplicationPromptService(nullptr);
    QCOMPARE(Prompts().Message(nullptr, QStringLiteral("Sure?"), PromptButtons::OkCancel,
                               PromptIcon::Question),
             PromptResult::Cancel);
    QCOMPARE(Prompts().Message(nullptr, QStringLiteral("Sure?"), PromptButtons::YesNo,
                               PromptIcon::Question),
             PromptResult::No);
    QVERIFY(Prompts().OpenFiles(nullptr, QStringLiteral("Add"), QStringLiteral("*")).isEmpty());
    QVERIFY(Prompts().PickFolder(nullptr, QStringLiteral("Pick"), QStringLiteral("/")).isEmpty());
    {
        // A test's service goes over the application's and hands back to it.
        SetApplicationPromptService(&m_qtService);
        ScriptedPrompts prompts;
        QCOMPARE(&Prompts(), static_cast<IPromptService*>(&prompts));
    }
    QCOMPARE(&Prompts(), static_cast<IPromptService*>(&m_qtService));
}

void PromptServiceTest::messageBoxHasCaptionIconAndButtons() {
    Seen seen;
    QCOMPARE(Ask(PromptButtons::OkCancel, PromptIcon::Question, QMessageBox::Ok, seen),
             PromptResult::Ok);
    QCOMPARE(seen.caption, QStringLiteral("Lumicast"));
    QCOMPARE(seen.text, QStringLiteral("Sure?"));
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);

    QCOMPARE(Ask(PromptButtons::YesNoCancel, PromptIcon::Warning, QMessageBox::No, seen),
             PromptResult::No);
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    QCOMPARE(Ask(PromptButtons::YesNo, PromptIcon::Error, QMessageBox::Yes, seen,
                 QStringLiteral("Other")),
             PromptResult::Yes);
    QCOMPARE(seen.caption, QStringLiteral("Other"));
    QCOMPARE(seen.icon, QMessageBox::Critical);

    QCOMPARE(Ask(PromptButtons::Ok, PromptIcon::Information, QMessageBox::Ok, seen),
             PromptResult::Ok);
    QCOMPARE(seen.icon, QMessageBox::Information);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void PromptServiceTest::escapeAnswersLikeTheDismissingButton() {
    Seen seen;
    QCOMPARE(Ask(PromptButtons::OkCancel, PromptIcon::Question, QMessageBox::NoButton, seen),
             PromptResult::Cancel);
    QCOMPARE(Ask(PromptButtons::YesNo, PromptIcon::Question, QMessageBox::NoButton, seen),
             PromptResult::No);
    QCOMPARE(Ask(PromptButtons::Ok, PromptIcon::None, QMessageBox::NoButton, seen),
             PromptResult::Ok);
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
}

void PromptServiceTest::folderPickerReturnsTheChosenFolder() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
    const QString target = dir.path() + QStringLiteral("/out");
    QString title;
    WhenModalOpens([&title, &target](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            modal->close();
            return;
        }
        title = dialog->windowTitle();
        dialog->setDirectory(target);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QString chosen =
        Prompts().PickFolder(nullptr, QStringLiteral("Please select output folder"), dir.path());
    QCOMPARE(title, QStringLiteral("Please select output folder"));
    QCOMPARE(QDir(chosen).canonicalPath(), QDir(target).canonicalPath());
}

void PromptServiceTest::openFilesCancelledGivesNothing() {
    QString title;
    WhenModalOpens([&title](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    });
    const QStringList files =
        Prompts().OpenFiles(nullptr, QStringLiteral("Add"), QStringLiteral("All Files (*)"));
    QCOMPARE(title, QStringLiteral("Add"));
    QVERIFY(files.isEmpty());
}

void PromptServiceTest::scriptedAnswersInOrderAndRecords() {
    ScriptedPrompts prompts;
    QCOMPARE(&Prompts(), static_cast<IPromptService*>(&prompts));
    prompts.AnswerFiles({QStringLiteral("/tmp/a.avi"), QStringLiteral("/tmp/b.mp4")});
    prompts.AnswerMessage(PromptResult::Yes);
    prompts.AnswerFolder(QStringLiteral("/tmp/out"));
    int nSeenDuring = 0;
    prompts.OnPrompt([&nSeenDuring](const ScriptedPrompts::Record&) { ++nSeenDuring; });

    QCOMPARE(Prompts().OpenFiles(nullptr, QStringLiteral("Open"), QStringLiteral("*.avi")),
             QStringList({"/tmp/a.avi", "/tmp/b.mp4"}));
    QCOMPARE(
        Prompts().Message(nullptr, QStringLiteral("Q"), PromptButtons::YesNo, PromptIcon::Question),
        PromptResult::Yes);
    QCOMPARE(Prompts().PickFolder(nullptr, QStringLiteral("Pick"), QStringLiteral("/tmp")),
             QStringLiteral("/tmp/out"));
    QCOMPARE(prompts.Count(), 3);
    QCOMPARE(nSeenDuring, 3);
    QCOMPARE(prompts.Unscripted(), 0);
    QCOMPARE(prompts.Pending(), 0);
    QCOMPARE(prompts.At(0).filter, QStringLiteral("*.avi"));
    QCOMPARE(prompts.At(1).buttons, PromptButtons::YesNo);
    QCOMPARE(prompts.At(1).icon, PromptIcon::Question);
    QCOMPARE(prompts.At(2).start, QStringLiteral("/tmp"));
    QCOMPARE(prompts.CountOf(ScriptedPrompts::Kind::Message), 1);
}

void PromptServiceTest::scriptedMismatchIsAnsweredAsClosed() {
    ScriptedPrompts prompts;
    prompts.AnswerFolder(QStringLiteral("/tmp/out"));
    // A message comes first: it gets the closed-box answer and the folder answer waits.
    QCOMPARE(Prompts().Message(nullptr, QStringLiteral("Q"), PromptButtons::OkCancel,
                               PromptIcon::Question),
             PromptResult::Cancel);
    QCOMPARE(
        Prompts().Message(nullptr, QStringLiteral("Q"), PromptButtons::YesNo, PromptIcon::Question),
        PromptResult::No);
    QCOMPARE(
        Prompts().Message(nullptr, QStringLiteral("N"), PromptButtons::Ok, PromptIcon::Information),
        PromptResult::Ok);
    QVERIFY(Prompts().OpenFiles(nullptr, QStringLiteral("Open"), QString()).isEmpty());
    QCOMPARE(prompts.Unscripted(), 4);
    QCOMPARE(prompts.Pending(), 1);
    QCOMPARE(Prompts().PickFolder(nullptr, QStringLiteral("Pick"), QString()),
             QStringLiteral("/tmp/out"));
    QVERIFY(prompts.Last().bScripted);
    QVERIFY(Prompts().PickFolder(nullptr, QStringLiteral("Pick"), QString()).isEmpty());
    QCOMPARE(prompts.Last().result, PromptResult::Cancel);
}

QTEST_MAIN(PromptServiceTest)
#include "prompt_service_test.moc"
