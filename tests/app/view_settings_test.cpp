// The form view's settings controls, output folder buttons, tip label and hidden-help check.
#include "app/form_settings.h"
#include "app/media_check.h"
#include "app/velmora_view.h"
#include "common/fake_encoder.h"
#include "common/gui/scripted_prompts.h"
#include "common/testkit.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const int kListIds[] = {ids::kCtlSizeList,         ids::kCtlFrameRateList,
                        ids::kCtlVideoBitRateList, ids::kCtlAudioBitRateList,
                        ids::kCtlChannelsList,     ids::kCtlSampleRateList,
                        ids::kCtlVolumeList};

template <class T> T* Ctl(const CVelmoraView& view, int nId) {
    T* widget = qobject_cast<T*>(view.Control(nId));
    if (widget == nullptr) {
        qFatal("control %d is missing or of another kind", nId);
    }
    return widget;
}

std::unique_ptr<CVelmoraView> MakeView() {
    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    return view;
}

// Chooses a list position as the user does, with the keyboard.
void ChooseWithKeys(QComboBox* combo, int nPosition) {
    combo->setFocus();
    while (combo->currentIndex() < nPosition) {
        QTest::keyClick(combo, Qt::Key_Down);
    }
    while (combo->currentIndex() > nPosition) {
        QTest::keyClick(combo, Qt::Key_Up);
    }
}

} // namespace

class ViewSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startUpState();
    void listTextsAndDroppedWidths();
    void sizeChoiceFillsWidthAndHeight();
    void makeSizeConsistent();
    void sizeAndRateFieldsTakeDigitsOnly();
    void variableBitRateEnablesMaxAndMin();
    void takeOverSettingsKeepsPositionsAndTexts();
    void browseStoresTheFolderWithASlash();
    void browseCancelledStillStoresTheFolder();
    void goOpensTheOutputFolder();
    void tipLabelFollowsTheMediaFramework();
    void hideTipsCheckAndHelpTimerAskForToolTips();

private:
    testkit::TempDir m_config;
    testkit::TempDir m_work;
};

void ViewSettingsTest::initTestCase() {
    // Settings go to a folder of the test's own.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path()));
}

void ViewSettingsTest::startUpState() {
    auto view = MakeView();
    for (const int nId : kListIds) {
        auto* combo = Ctl<QComboBox>(*view, nId);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->currentText(), QStringLiteral("Keep Original"));
        QCOMPARE(combo->currentData().toInt(), -1);
        QVERIFY(combo->isEnabled());
    }
    QVERIFY(Ctl<QComboBox>(*view, ids::kCtlVolumeList)->isHidden());
    QCOMPARE(Ctl<QLineEdit>(*view, ids::kCtlWidth)->text(), QStringLiteral("0"));
    QCOMPARE(Ctl<QLineEdit>(*view, ids::kCtlHeight)->text(), QStringLiteral("0"));
    QVERIFY(!Ctl<QLineEdit>(*view, ids::kCtlMaxRate)->isEnabled());
    QVERIFY(!Ctl<QLineEdit>(*view, ids::kCtlMinRate)->isEnabled());
    QVERIFY(!Ctl<QCheckBox>(*view, ids::kCtlVariableBitRate)->isChecked());

    // MPEG-4 is chosen; MPEG-4 and H.264 are the only format buttons shown.
    for (int nId = ids::kCtlFormatFirst; nId <= ids::kCtlFormatLast; ++nId) {
        auto* button = Ctl<QAbstractButton>(*view, nId);
        QCOMPARE(button->isChecked(), nId == ids::kCtlFormatFirst);
        QCOMPARE(button->isHidden(), nId > ids::kCtlFormatFirst + 1);
    }
    for (int nId = ids::kCtlStandardFirst; nId <= ids::kCtlStandardLast; ++nId) {
        QVERIFY(Ctl<QAbstractButton>(*view, nId)->isHidden());
    }

    const profiles::ConversionSettings settings = view->Settings();
    QCOMPARE(settings.m_nFormat, 0);
    QCOMPARE(settings.m_nStandard, 0);
    QCOMPARE(settings.m_nSizePos, 0);
    QCOMPARE(settings.m_strWidth, std::string("0"));
    QVERIFY(!settings.m_bVariableBitRate);
    QVERIFY(settings.m_strMaxRate.empty());

    // No stored folder: the default one, read-only.
    QCOMPARE(view->OutputFolder(), QString::fromStdString(DefaultOutputFolder()));
    QVERIFY(Ctl<QLineEdit>(*view, ids::kCtlOutputPath)->isReadOnly());
    QVERIFY(view->HiddenHelpCheck());
}

void ViewSettingsTest::listTextsAndDroppedWidths() {
    auto view = MakeView();
    auto* rates = Ctl<QComboBox>(*view, ids::kCtlFrameRateList);
    QCOMPARE(rates->count(), 4);
    QCOMPARE(rates->itemText(3), QStringLiteral("29.970 fps"));
    QCOMPARE(rates->itemData(3).toInt(), 2);
    auto* sizes = Ctl<QComboBox>(*view, ids::kCtlSizeList);
    QCOMPARE(sizes->count(), 15);
    QCOMPARE(sizes->itemText(9), QStringLiteral("640x480 - iPhone4 (Recommended)"));
    for (const int nId : kListIds) {
        auto* combo = Ctl<QComboBox>(*view, nId);
        const QFontMetrics metrics(combo->font());
        int nWidest = 0;
        for (int i = 0; i < combo->count(); ++i) {
            nWidest = qMax(nWidest, metrics.horizontalAdvance(combo->itemText(i)));
        }
        QVERIFY2(combo->view()->minimumWidth() >= nWidest,
                 qPrintable(QStringLiteral("list %1").arg(nId)));
    }
}

void ViewSettingsTest::sizeChoiceFillsWidthAndHeight() {
    auto view = MakeView();
    auto* sizes = Ctl<QComboBox>(*view, ids::kCtlSizeList);
    auto* width = Ctl<QLineEdit>(*view, ids::kCtlWidth);
    auto* height = Ctl<QLineEdit>(*view, ids::kCtlHeight);
    ChooseWithKeys(sizes, 9);
    QCOMPARE(width->text(), QStringLiteral("640"));
    QCOMPARE(height->text(), QStringLiteral("480"));
    QCOMPARE(view->Settings().m_nSizePos, 9);
    ChooseWithKeys(sizes, 14);
    QCOMPARE(width->text(), QStringLiteral("1280"));
    QCOMPARE(height->text(), QStringLiteral("720"));
    ChooseWithKeys(sizes, 0);
    QCOMPARE(width->text(), QStringLiteral("0"));
    QCOMPARE(height->text(), QStringLiteral("0"));
    // A size typed by hand stays until the list is used again.
    width->setText(QStringLiteral("333"));
    QCOMPARE(view->Settings().m_strWidth, std::string("333"));
}

void ViewSettingsTest::makeSizeConsistent() {
    auto view = MakeView();
    auto* width = Ctl<QLineEdit>(*view, ids::kCtlWidth);
    auto* height = Ctl<QLineEdit>(*view, ids::kCtlHeight);
    width->setText(QStringLiteral("320"));
    height->setText(QStringLiteral("0"));
    view->MakeSizeConsistent();
    QCOMPARE(width->text(), QStringLiteral("0"));
    QCOMPARE(height->text(), QStringLiteral("0"));

    width->setText(QStringLiteral("320"));
    height->clear();
    view->MakeSizeConsistent();
    QCOMPARE(width->text(), QStringLiteral("320"));
    QCOMPARE(height->text(), QString());
}

void ViewSettingsTest::sizeAndRateFieldsTakeDigitsOnly() {
    auto view = MakeView();
    Ctl<QCheckBox>(*view, ids::kCtlVariableBitRate)->click();
    for (const int nId : {ids::kCtlWidth, ids::kCtlHeight, ids::kCtlMaxRate, ids::kCtlMinRate}) {
        auto* edit = Ctl<QLineEdit>(*view, nId);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("12a-3 x.4"));
        QCOMPARE(edit->text(), QStringLiteral("1234"));
    }
}

void ViewSettingsTest::variableBitRateEnablesMaxAndMin() {
    auto view = MakeView();
    auto* check = Ctl<QCheckBox>(*view, ids::kCtlVariableBitRate);
    auto* maxRate = Ctl<QLineEdit>(*view, ids::kCtlMaxRate);
    auto* minRate = Ctl<QLineEdit>(*view, ids::kCtlMinRate);
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(check->isChecked());
    QVERIFY(maxRate->isEnabled());
    QVERIFY(minRate->isEnabled());
    maxRate->setText(QStringLiteral("900"));
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(!maxRate->isEnabled());
    QVERIFY(!minRate->isEnabled());
    // The texts stay and are still part of the record.
    QCOMPARE(maxRate->text(), QStringLiteral("900"));
    QCOMPARE(view->Settings().m_strMaxRate, std::string("900"));
}

void ViewSettingsTest::takeOverSettingsKeepsPositionsAndTexts() {
    auto old = MakeView();
    Ctl<QAbstractButton>(*old, ids::kCtlFormatFirst + 1)->click(); // H.264
    ChooseWithKeys(Ctl<QComboBox>(*old, ids::kCtlSizeList), 9);
    Ctl<QLineEdit>(*old, ids::kCtlWidth)->setText(QStringLiteral("600"));
    Ctl<QComboBox>(*old, ids::kCtlFrameRateList)->setCurrentIndex(2);
    Ctl<QComboBox>(*old, ids::kCtlVideoBitRateList)->setCurrentIndex(7);
    Ctl<QCheckBox>(*old, ids::kCtlVariableBitRate)->click();
    Ctl<QLineEdit>(*old, ids::kCtlMaxRate)->setText(QStringLiteral("1000"));
    Ctl<QLineEdit>(*old, ids::kCtlMinRate)->setText(QStringLiteral("200"));
    Ctl<QComboBox>(*old, ids::kCtlChannelsList)->setCurrentIndex(1);
    Ctl<QComboBox>(*old, ids::kCtlAudioBitRateList)->setCurrentIndex(3);
    Ctl<QComboBox>(*old, ids::kCtlSampleRateList)->setCurrentIndex(2);
    Ctl<QComboBox>(*old, ids::kCtlVolumeList)->setCurrentIndex(5);
    old->SettingsControls()->SetOutputFolder(QStringLiteral("/old/folder/"));

    auto view = MakeView();
    view->TakeOverSettings(*old);
    const profiles::ConversionSettings s = view->Settings();
    QCOMPARE(s.m_nFormat, 1);
    QVERIFY(Ctl<QAbstractButton>(*view, ids::kCtlFormatFirst + 1)->isChecked());
    QVERIFY(!Ctl<QAbstractButton>(*view, ids::kCtlFormatFirst)->isChecked());
    QCOMPARE(s.m_nSizePos, 9);
    QCOMPARE(s.m_strWidth, std::string("600"));
    QCOMPARE(s.m_strHeight, std::string("480"));
    QCOMPARE(s.m_nFrameRatePos, 2);
    QCOMPARE(s.m_nVideoBitRatePos, 7);
    QVERIFY(s.m_bVariableBitRate);
    QVERIFY(Ctl<QLineEdit>(*view, ids::kCtlMaxRate)->isEnabled());
    QCOMPARE(s.m_strMaxRate, std::string("1000"));
    QCOMPARE(s.m_strMinRate, std::string("200"));
    QCOMPARE(s.m_nChannelsPos, 1);
    QCOMPARE(s.m_nAudioBitRatePos, 3);
    QCOMPARE(s.m_nSampleRatePos, 2);
    QCOMPARE(s.m_nVolumePos, 5);
    // The new view keeps the folder it read itself.
    QCOMPARE(view->OutputFolder(), QString::fromStdString(DefaultOutputFolder()));
}

void ViewSettingsTest::browseStoresTheFolderWithASlash() {
    auto view = MakeView();
    ScriptedPrompts prompts;
    const QString strChosen = QString::fromStdString(m_work.Path());
    prompts.AnswerFolder(strChosen);
    QTest::mouseClick(Ctl<QAbstractButton>(*view, ids::kCtlBrowse), Qt::LeftButton);
    QCOMPARE(prompts.Count(), 1);
    QCOMPARE(prompts.At(0).kind, ScriptedPrompts::Kind::PickFolder);
    QCOMPARE(prompts.At(0).text, QStringLiteral("Please select output folder"));
    QCOMPARE(prompts.At(0).start, QString::fromStdString(DefaultOutputFolder()));
    QCOMPARE(view->OutputFolder(), strChosen + QLatin1Char('/'));
    QCOMPARE(ReadOutputPathSetting(), m_work.Path() + "/");
    // A view made later reads it.
    auto later = MakeView();
    QCOMPARE(later->OutputFolder(), strChosen + QLatin1Char('/'));

    // A folder of any length is kept whole: a cut folder would be another folder.
    QString strLong = strChosen;
    while (strLong.size() < 300) {
        strLong += QStringLiteral("/a-rather-long-folder-name");
    }
    QVERIFY(QDir().mkpath(strLong));
    prompts.AnswerFolder(strLong);
    QTest::mouseClick(Ctl<QAbstractButton>(*view, ids::kCtlBrowse), Qt::LeftButton);
    QCOMPARE(view->OutputFolder(), strLong + QLatin1Char('/'));
    QCOMPARE(QString::fromStdString(ReadOutputPathSetting()), strLong + QLatin1Char('/'));
    QCOMPARE(MakeView()->OutputFolder(), strLong + QLatin1Char('/'));
}

void ViewSettingsTest::browseCancelledStillStoresTheFolder() {
    auto view = MakeView();
    const QString strFolder = QString::fromStdString(m_work.File("sub"));
    QVERIFY(QDir().mkpath(strFolder));
    view->SettingsControls()->SetOutputFolder(strFolder); // no final slash
    ScriptedPrompts prompts;
    prompts.AnswerFolder(QString()); // cancelled
    view->OnBrowse();
    QCOMPARE(prompts.Count(), 1);
    QCOMPARE(view->OutputFolder(), strFolder + QLatin1Char('/'));
    QCOMPARE(ReadOutputPathSetting(), strFolder.toStdString() + "/");
}

void ViewSettingsTest::goOpensTheOutputFolder() {
    testkit::TempDir bin;
    const std::string strRecord = bin.File("opened");
    QVERIFY(!testkit::WriteScript(bin.Path(), "xdg-open",
                                  "printf '%s|' \"$@\" > " + testkit::ShellQuote(strRecord) + "\n")
                 .empty());
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.Path()) + ":" + oldPath);

    auto view = MakeView();
    const QString strFolder = QString::fromStdString(m_work.Path() + "/with blank '$x'/");
    view->SettingsControls()->SetOutputFolder(strFolder);
    QTest::mouseClick(Ctl<QAbstractButton>(*view, ids::kCtlGo), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString::fromStdString(strRecord)), testkit::kPatientMs);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(testkit::ReadFile(strRecord)),
                              strFolder + QLatin1Char('|'), testkit::kPatientMs);
    qputenv("PATH", oldPath);
}

void ViewSettingsTest::tipLabelFollowsTheMediaFramework() {
    auto view = MakeView();
    auto* tip = Ctl<QLabel>(*view, ids::kCtlTipLabel);
    QCOMPARE(tip->isHidden(), MediaFrameworkAvailable());
    if (!MediaFrameworkAvailable()) {
        QCOMPARE(tip->text(), MediaFrameworkTip());
    }
}

void ViewSettingsTest::hideTipsCheckAndHelpTimerAskForToolTips() {
    auto view = MakeView();
    QSignalSpy spy(view.get(), &CVelmoraView::commandRequested);
    QTest::mouseClick(Ctl<QAbstractButton>(*view, ids::kCtlHideTips), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), ids::kCmdToolTips);

    spy.clear();
    view->StartHelpTimer();
    QVERIFY(spy.wait(3000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), ids::kCmdToolTips);
    // It fires once.
    QVERIFY(!view->IsHelpTimerActive());
}

QTEST_MAIN(ViewSettingsTest)
#include "view_settings_test.moc"
