// End to end: three generated clips converted to MPEG-4 with the iPod settings by the real
// encoder, through the conversion dialog and the batch driver.
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "common/gui/scripted_prompts.h"
#include "common/media.h"
#include "common/testkit.h"
#include "controls/percent_bar.h"
#include "engine/encoder_job.h"
#include "engine/ui/convert_dlg.h"
#include "engine/ui/helpers/convert_fixture.h"
#include "profiles/catalogue.h"
#include "profiles/encoder_options.h"

using namespace convert_test;

namespace {

// The list position of a value in a table: its row + 1 (position 0 is "Keep Original").
template <class Table, class Value> int PositionOf(const Table& table, Value value) {
    const auto it = std::find(table.begin(), table.end(), value);
    return it == table.end() ? 0 : static_cast<int>(it - table.begin()) + 1;
}

profiles::ConversionSettings IpodSettings(const std::string& strFolder) {
    profiles::ConversionSettings settings;
    settings.m_nFormat = profiles::kFormatMpeg4;
    settings.m_strWidth = "320";
    settings.m_strHeight = "240";
    for (std::size_t i = 0; i < profiles::kFrameRates.size(); ++i) {
        if (std::abs(profiles::kFrameRates[i] - 29.97) < 0.001) {
            settings.m_nFrameRatePos = static_cast<int>(i) + 1;
        }
    }
    settings.m_nVideoBitRatePos = PositionOf(profiles::kVideoBitRates, 768);
    settings.m_nChannelsPos = PositionOf(profiles::kChannels, 2);
    for (std::size_t i = 0; i < profiles::kAudioBitRates.size(); ++i) {
        if (profiles::kAudioBitRates[i].nKbps == 128) {
            settings.m_nAudioBitRatePos = static_cast<int>(i) + 1;
        }
    }
    settings.m_nSampleRatePos = PositionOf(profiles::kSampleRates, 44100);
    settings.m_strOutputFolder = strFolder;
    return settings;
}

} // namespace

class ConvertKestrelvxTest : public QObject {
    Q_OBJECT

private slots:
    void threeClipsToMpeg4ForIpod() {
        testkit::TempDir work;
        const std::vector<std::string> sources = {work.File("first clip.mp4"),
                                                  work.File("second.avi"), work.File("third.mov")};
        for (const std::string& strSource : sources) {
            QVERIFY2(testkit::MakeClip(strSource, 2.0, 176, 144, true), strSource.c_str());
        }
        const std::string strOut = work.File("converted/ipod/");
        const profiles::ConversionSettings settings = IpodSettings(strOut);
        QCOMPARE(profiles::BuildEncoderOptions(settings),
                 std::string(" -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100"));

        auto pList = std::make_unique<TestList>();
        TestList& list = *pList;
        for (const std::string& strSource : sources) {
            list.Add(MakeRecord(strSource, 0, 2));
        }
        CEncoderJob job;
        ScriptedPrompts prompts;
        prompts.AnswerMessage(PromptResult::Ok);
        CConvertDlg dialog(nullptr, std::move(pList), job, settings);
        int nOverallAtEnd = -1;
        prompts.OnPrompt(
            [&](const ScriptedPrompts::Record&) { nOverallAtEnd = dialog.OverallBar()->GetPos(); });
        dialog.DoModal();

        QCOMPARE(prompts.Count(), 1);
        QCOMPARE(prompts.At(0).text, QString::fromLatin1(kCompleted));
        QCOMPARE(nOverallAtEnd, 100);
        QCOMPARE(list.Statuses(), (std::vector<int>{kStatusDone, kStatusDone, kStatusDone}));
        const std::vector<std::string> outputs = {
            strOut + "first clip-cvt.mp4", strOut + "second-cvt.mp4", strOut + "third-cvt.mp4"};
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            QCOMPARE(list.Record(static_cast<int>(i)).GetTargetPath(), outputs[i]);
            const testkit::MediaInfo info = testkit::ProbeStreams(outputs[i]);
            QVERIFY2(info.ok, outputs[i].c_str());
            const testkit::StreamInfo* pVideo = info.First("video");
            const testkit::StreamInfo* pAudio = info.First("audio");
            QVERIFY(pVideo != nullptr);
            QVERIFY(pAudio != nullptr);
            QCOMPARE(pVideo->codec, std::string("mpeg4"));
            QCOMPARE(pVideo->width, 320);
            QCOMPARE(pVideo->height, 240);
            QCOMPARE(pVideo->frameRate, std::string("30000/1001"));
            QCOMPARE(pAudio->sampleRate, 44100);
            QCOMPARE(pAudio->channels, 2);
            QVERIFY2(std::abs(info.duration - 2.0) < 0.5, std::to_string(info.duration).c_str());
        }
    }
};

QTEST_MAIN(ConvertKestrelvxTest)
#include "convert_dlg_kestrelvx_test.moc"
