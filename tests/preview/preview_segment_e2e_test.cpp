// End to end: the part chosen in the preview dialog through the view's Preview command is the part
// the real encoder converts (the output's length, as ffprobe reads it).
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <memory>

#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "common/media.h"
#include "common/testkit.h"
#include "controls/track_bar.h"
#include "engine/encoder_job.h"
#include "engine/ui/convert_dlg.h"
#include "engine/ui/helpers/convert_fixture.h"
#include "lang/resource_ids.h"
#include "preview/helpers/preview_steps.h"
#include "preview/preview_dlg.h"
#include "profiles/catalogue.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

class PreviewSegmentE2eTest : public QObject {
    Q_OBJECT

private slots:
    void chosenPartIsTheConvertedPart() {
        ScopedConfigFolder config;
        preview_test::UseSilentAudioOutput();
        testkit::TempDir work;
        const std::string strClip = work.File("lecture.mp4");
        QVERIFY(testkit::MakeClip(strClip, 12.0, 176, 144, true));

        CVelmoraView view;
        view.OnInitialUpdate();
        view.AppendSource(convert_test::MakeRecord(strClip, 0, 12), 0);
        view.List()->SelectOnly(0);
        connect(&view, &CVelmoraView::previewOpened, this, [](CPreviewDlg* pDlg) {
            QTimer::singleShot(0, pDlg, [pDlg] {
                QVERIFY(QTest::qWaitFor([&] { return pDlg->Button(ids::kCtlStop)->isEnabled(); },
                                        testkit::kPatientMs));
                pDlg->OnPause();
                pDlg->PositionSlider()->setValue(3); // a drag: the graph seeks
                pDlg->OnSetStart();
                pDlg->PositionSlider()->setValue(8);
                pDlg->OnSetEnd();
                pDlg->OnOK();
            });
        });
        QVERIFY(view.OnCommand(ids::kCmdPreview));
        const FileMediaFormat* pRecord = view.RecordAtRow(0);
        QCOMPARE(pRecord->m_nStart, 3);
        QCOMPARE(pRecord->m_nEnd, 8);
        QCOMPARE(view.List()->Text(0, 2), QStringLiteral("00:00:03-00:00:08"));

        auto pList = std::make_unique<convert_test::TestList>();
        convert_test::TestList& list = *pList;
        auto pCopy = std::make_unique<FileMediaFormat>(*pRecord);
        list.Add(std::move(pCopy));
        profiles::ConversionSettings settings;
        settings.m_nFormat = profiles::kFormatMpeg4;
        settings.m_strWidth = "320";
        settings.m_strHeight = "240";
        settings.m_strOutputFolder = work.File("out/");
        CEncoderJob job;
        ScriptedPrompts prompts;
        prompts.AnswerMessage(PromptResult::Ok);
        CConvertDlg dialog(nullptr, std::move(pList), job, settings);
        dialog.DoModal();
        QCOMPARE(list.Statuses(), (std::vector<int>{kStatusDone}));
        const std::string strOut = list.Record(0).GetTargetPath();
        const testkit::MediaInfo info = testkit::ProbeStreams(strOut);
        QVERIFY2(info.ok, strOut.c_str());
        QVERIFY2(std::abs(info.duration - 5.0) < 0.5, std::to_string(info.duration).c_str());
    }
};

QTEST_MAIN(PreviewSegmentE2eTest)
#include "preview_segment_e2e_test.moc"
