// Qt's own texts follow the interface language: after a switch to German the open-file dialog of
// Add and the buttons of a message box speak German (Qt's catalogues, qt6-translations-l10n), and
// a switch back to English brings Qt's English texts back. The application's own English texts
// (the notice after a switch) stay as they are.
//
// With LUMICAST_SCREENSHOT_DIR set, the German Add dialog is saved there as add-dialog-de.png.
#include "app/app_start.h"
#include "app/helpers/frame_steps.h"
#include "app/main_frame.h"
#include "common/gui/gui_env.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"
#include "ui/prompt_service.h"
#include "ui/qt_translations.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr std::uint16_t kGerman = 1031;

QString Plain(QString text) {
    return text.remove(QLatin1Char('&'));
}

// The texts of a window's buttons and labels, without their mnemonics.
QStringList Texts(const QWidget* window) {
    QStringList texts;
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty()) {
            texts.append(Plain(button->text()));
        }
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) {
            texts.append(Plain(label->text()));
        }
    }
    return texts;
}

// What the open-file dialog of Add and a Yes/No/Cancel message box show.
struct QtTexts {
    QStringList fileDialog;
    QStringList messageBox;
};

QtTexts ShowQtDialogs(CMainFrame& frame, const QString& strShot) {
    QtTexts texts;
    const bool bFileDialog = app_test::WithModal<QFileDialog>(
        [&] { frame.OnCommand(ids::kCmdAdd); },
        [&](QFileDialog* dialog) {
            texts.fileDialog = Texts(dialog);
            const QByteArray dir = qgetenv("LUMICAST_SCREENSHOT_DIR");
            if (!strShot.isEmpty() && !dir.isEmpty()) {
                QDir().mkpath(QString::fromLocal8Bit(dir));
                dialog->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + strShot);
            }
        });
    const bool bBox = app_test::WithModal<QMessageBox>(
        [&] {
            Prompts().Message(&frame, QStringLiteral("?"), PromptButtons::YesNoCancel,
                              PromptIcon::Question);
        },
        [&](QMessageBox* box) { texts.messageBox = Texts(box); });
    if (!bFileDialog || !bBox) {
        return {};
    }
    return texts;
}

} // namespace

class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_config = std::make_unique<ScopedConfigFolder>();
        WriteHiddenToolTips();
        // The open-file dialog starts in the current folder: one with a few videos in it.
        QVERIFY(m_videos.isValid());
        for (const char* name : {"Urlaub am Meer.mp4", "Konzert 2024.mkv", "Vortrag Teil 1.avi"}) {
            QFile file(m_videos.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_strOldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_videos.path()));
    }

    void cleanupTestCase() { QDir::setCurrent(m_strOldCurrent); }

    void qtTextsFollowTheLanguage() {
        std::unique_ptr<CMainFrame> frame = StartApplication();
        QVERIFY(frame != nullptr);
        const QtTexts english = ShowQtDialogs(*frame, QString());
        QVERIFY2(english.fileDialog.contains(QStringLiteral("Open")),
                 qPrintable(english.fileDialog.join(QLatin1Char('|'))));
        QVERIFY(english.fileDialog.contains(QStringLiteral("Look in:")));
        QVERIFY2(english.messageBox.contains(QStringLiteral("Yes")) &&
                     english.messageBox.contains(QStringLiteral("No")) &&
                     english.messageBox.contains(QStringLiteral("Cancel")),
                 qPrintable(english.messageBox.join(QLatin1Char('|'))));

        // German: the notice after the switch, in the application's own English, then Qt's
        // dialogs in German.
        const int nGerman = app_test::LanguageCommand(*frame, kGerman);
        QVERIFY(nGerman != 0);
        QString strNotice;
        QVERIFY(
            app_test::WithModal<QMessageBox>([&] { frame->OnCommand(nGerman); },
                                             [&](QMessageBox* box) { strNotice = box->text(); }));
        QCOMPARE(lang::CurrentLanguageId(), kGerman);
        QVERIFY(strNotice.startsWith(QStringLiteral("If you find any translation error")));
        QCOMPARE(QtTranslationLocale(), std::string("de"));
        const QtTexts german = ShowQtDialogs(*frame, QStringLiteral("add-dialog-de.png"));
        QVERIFY2(german.fileDialog.contains(QStringLiteral("Öffnen")) &&
                     german.fileDialog.contains(QStringLiteral("Abbrechen")) &&
                     german.fileDialog.contains(QStringLiteral("Suchen in:")),
                 qPrintable(german.fileDialog.join(QLatin1Char('|'))));
        QVERIFY(!german.fileDialog.contains(QStringLiteral("Look in:")));
        QVERIFY2(german.messageBox.contains(QStringLiteral("Ja")) &&
                     german.messageBox.contains(QStringLiteral("Nein")) &&
                     german.messageBox.contains(QStringLiteral("Abbrechen")),
                 qPrintable(german.messageBox.join(QLatin1Char('|'))));

        // Back to English: Qt's English texts again.
        frame->OnCommand(app_test::LanguageCommand(*frame, lang::kEnglishLanguageId));
        QCOMPARE(lang::CurrentLanguageId(), lang::kEnglishLanguageId);
        QCOMPARE(QtTranslationLocale(), std::string());
        const QtTexts back = ShowQtDialogs(*frame, QString());
        QCOMPARE(back.fileDialog, english.fileDialog);
        QCOMPARE(back.messageBox, english.messageBox);

        app_test::CloseFrame(frame);
    }

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
    QTemporaryDir m_videos{QDir::tempPath() + QStringLiteral("/Videos-XXXXXX")};
    QString m_strOldCurrent;
};

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_test.moc"
