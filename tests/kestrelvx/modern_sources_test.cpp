// Today's file shapes converted with the real ffmpeg and judged by what a viewer would see: upright
// phone videos in a chosen frame, the main one of two video tracks, subtitles kept as soft tracks
// (and the ones that cannot be named), a part of a transport stream that begins with the frame at
// its start, and HDR pictures tone-mapped to BT.709.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "common/media.h"
#include "common/testkit.h"
#include "kestrelvx/helpers/kestrelvx_runner.h"
#include "kestrelvx/helpers/media_checks.h"

namespace {

using kestrelvx_test::Ffmpeg;
using kestrelvx_test::FrameAverage;
using kestrelvx_test::Messages;
using kestrelvx_test::PictureArea;
using kestrelvx_test::RegionColour;
using kestrelvx_test::VideoField;

// Sets the display matrix of the first track of an MP4 written with +faststart: a stored pixel
// (x, y) is shown at (a*x + c*y, b*x + d*y), y downwards. A phone holding the camera upright
// writes a = 0, b = 1, c = -1, d = 0 (turn clockwise by a quarter).
bool SetDisplayMatrix(const std::string& path, int a, int b, int c, int d) {
    std::ifstream in(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t moov = data.find("moov");
    const size_t tkhd = moov == std::string::npos ? moov : data.find("tkhd", moov);
    if (tkhd == std::string::npos || tkhd < 4) {
        return false;
    }
    const size_t box = tkhd - 4;
    size_t at = box + (data[tkhd + 4] == 1 ? 60 : 48);
    const int32_t matrix[9] = {a * 65536, b * 65536, 0, c * 65536, d * 65536, 0, 0, 0, 1 << 30};
    if (at + sizeof matrix > data.size()) {
        return false;
    }
    for (int32_t value : matrix) {
        const auto bits = static_cast<uint32_t>(value);
        for (int shift = 24; shift >= 0; shift -= 8) {
            data[at++] = static_cast<char>((bits >> shift) & 0xFF);
        }
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
    return true;
}

// One segment of a Blu-ray (PGS) subtitle stream.
std::string PgsSegment(uint32_t pts, uint8_t type, const std::string& payload) {
    std::string segment = "PG";
    for (uint32_t value : {pts, 0u}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            segment += static_cast<char>((value >> shift) & 0xFF);
        }
    }
    segment += static_cast<char>(type);
    segment += static_cast<char>(payload.size() >> 8);
    segment += static_cast<char>(payload.size() & 0xFF);
    return segment + payload;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

// A PGS picture subtitle: a white 64x16 box from 1 s to 3 s on a 320x240 picture.
std::string PictureSubtitle() {
    const uint32_t show = 90000;
    const uint32_t hide = 3 * 90000;
    std::string lines;
    for (int row = 0; row < 16; ++row) {
        lines += std::string(64, '\x01') + std::string(2, '\0');
    }
    const size_t objectSize = lines.size() + 4;
    std::string sup;
    // Composition with one object at (100, 200), its window, palette, object, end.
    sup += PgsSegment(
        show, 0x16, Bytes({1, 64, 0, 240, 0x10, 0, 0, 0x80, 0, 0, 1, 0, 0, 0, 0, 0, 100, 0, 200}));
    sup += PgsSegment(show, 0x17, Bytes({1, 0, 0, 100, 0, 200, 0, 64, 0, 16}));
    sup += PgsSegment(show, 0x14, Bytes({0, 0, 1, 235, 128, 128, 255}));
    sup += PgsSegment(show, 0x15,
                      Bytes({0, 0, 0, 0xC0, static_cast<int>(objectSize >> 16),
                             static_cast<int>((objectSize >> 8) & 0xFF),
                             static_cast<int>(objectSize & 0xFF), 0, 64, 0, 16}) +
                          lines);
    sup += PgsSegment(show, 0x80, "");
    sup += PgsSegment(hide, 0x16, Bytes({1, 64, 0, 240, 0x10, 0, 1, 0, 0, 0, 0}));
    sup += PgsSegment(hide, 0x17, Bytes({1, 0, 0, 100, 0, 200, 0, 64, 0, 16}));
    sup += PgsSegment(hide, 0x80, "");
    return sup;
}

// The subtitle streams as ffprobe lists them: "mov_text,1,fre" (codec, default flag, language).
std::vector<std::string> SubtitleStreams(const std::string& path) {
    const testkit::ProgramRun run = testkit::RunProgram(
        {"/usr/bin/ffprobe", "-v", "error", "-select_streams", "s", "-show_entries",
         "stream=codec_name:stream_disposition=default:stream_tags=language", "-of", "csv=p=0",
         path});
    std::vector<std::string> streams;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        streams.push_back(line);
    }
    return streams;
}

// The text of one subtitle stream of path as SRT.
std::string SubtitleText(const std::string& path, int stream) {
    return Ffmpeg({"-v", "error", "-i", path, "-map", "0:s:" + std::to_string(stream), "-f", "srt",
                   "-"})
        .output;
}

// When the cue of an SRT text that holds words begins, in seconds; -1 when there is none.
double CueSeconds(const std::string& srt, const std::string& words) {
    const size_t found = srt.find(words);
    const size_t arrow = found == std::string::npos ? found : srt.rfind(" --> ", found);
    if (arrow == std::string::npos || arrow < 12) {
        return -1.0;
    }
    const std::string clock = srt.substr(arrow - 12, 12); // "00:00:01,523"
    return std::atoi(clock.substr(0, 2).c_str()) * 3600.0 +
           std::atoi(clock.substr(3, 2).c_str()) * 60.0 + std::atoi(clock.substr(6, 2).c_str()) +
           std::atoi(clock.substr(9, 3).c_str()) / 1000.0;
}

// Whether the encoder wrote a note that begins with text.
bool HasNote(const testkit::ProgramRun& run, const std::string& text) {
    return Messages(run.output).find("Kestrelvx: note: " + text) != std::string::npos;
}

// HEVC in 10 bits, as phones record.
constexpr const char* kTenBits = "-c:v libx265 -x265-params log-level=error";

// The usual way to bring a PQ or HLG picture to BT.709 with Hable's curve.
constexpr const char* kToneMapReference =
    "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=hable:desat=0,"
    "zscale=t=bt709:m=bt709:r=tv,format=yuv420p";

class KestrelvxModernSources : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::make_unique<testkit::TempDir>();
        m_cache = std::make_unique<testkit::ScopedEnv>("XDG_CACHE_HOME", m_dir->File("cache"));
    }
    void TearDown() override { m_cache.reset(); }
    std::string Clip(const std::string& name) const { return m_dir->File(name); }

    // Makes the file name with ffmpeg and the arguments in words, split at blanks; a word
    // "@file" stands for the file of that name in the test's folder.
    std::string Make(const std::string& name, const std::string& words) {
        std::vector<std::string> args;
        std::istringstream split(words);
        for (std::string word; split >> word;) {
            args.push_back(word[0] == '@' ? Clip(word.substr(1)) : word);
        }
        args.push_back(Clip(name));
        const testkit::ProgramRun run = Ffmpeg(args);
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.output;
        return Clip(name);
    }

    // Probes the file as the application does when it is added, then converts it with the
    // application's command line (so the conversion takes what the probe learned); the run must
    // succeed.
    testkit::ProgramRun Convert(const std::string& input, const std::string& options, int start,
                                int length, const std::string& output) {
        const testkit::ProgramRun probe = kestrelvx_test::RunKestrelvx({"-i", input});
        EXPECT_NE(probe.output.find("Duration: "), std::string::npos) << input << probe.output;
        testkit::ProgramRun run = kestrelvx_test::RunKestrelvx(
            kestrelvx_test::ConversionWords(input, "t", options, start, length, Clip(output)));
        EXPECT_EQ(run.exitCode, 0) << input << options << ": " << run.output;
        return run;
    }

    std::unique_ptr<testkit::TempDir> m_dir;
    std::unique_ptr<testkit::ScopedEnv> m_cache;
};

// The colour at the middle of each inner edge of the picture area "w:h:x:y": top, right, bottom,
// left.
std::vector<std::string> EdgeColours(const std::string& path, const std::string& area) {
    int w = 0;
    int h = 0;
    int x = 0;
    int y = 0;
    if (std::sscanf(area.c_str(), "%d:%d:%d:%d", &w, &h, &x, &y) != 4) {
        return {};
    }
    const int strip = 8;
    return {RegionColour(path, x + w / 3, y + 2, w / 3, strip).Name(),
            RegionColour(path, x + w - 2 - strip, y + h / 3, strip, h / 3).Name(),
            RegionColour(path, x + w / 3, y + h - 2 - strip, w / 3, strip).Name(),
            RegionColour(path, x + 2, y + h / 3, strip, h / 3).Name()};
}

TEST_F(KestrelvxModernSources, UprightPhoneVideosFitTheFrameAsTheViewerSeesThem) {
    // A 16:9 picture stored wide, red along its stored top, green along its stored left.
    const std::string stored =
        Make("stored.mp4", "-f lavfi -i color=c=blue:size=320x180:rate=25:d=1,"
                           "drawbox=x=0:y=0:w=iw:h=30:c=red:t=fill,"
                           "drawbox=x=0:y=0:w=30:h=ih:c=green:t=fill "
                           "-c:v libx264 -pix_fmt yuv420p -movflags +faststart");
    struct Case {
        const char* name;
        int a, b, c, d;
        const char* area;               // in a 640x480 frame
        std::vector<std::string> edges; // top, right, bottom, left of the picture
    };
    const std::vector<Case> cases = {
        {"clockwise", 0, 1, -1, 0, "270:480:184:0", {"green", "red", "blue", "blue"}},
        {"anticlockwise", 0, -1, 1, 0, "270:480:184:0", {"blue", "blue", "green", "red"}},
        {"upside-down", -1, 0, 0, -1, "640:360:0:60", {"blue", "green", "red", "blue"}},
        {"mirrored-quarter", 0, 1, 1, 0, "270:480:184:0", {"green", "blue", "blue", "red"}},
    };
    for (const Case& c : cases) {
        const std::string source = Clip(std::string(c.name) + ".mp4");
        std::filesystem::copy_file(stored, source);
        ASSERT_TRUE(SetDisplayMatrix(source, c.a, c.b, c.c, c.d)) << c.name;
        const std::string out = std::string(c.name) + "-cvt.mp4";
        Convert(source, " -vcodec xvid -s 640x480", 0, 1, out);
        const std::string area = PictureArea(Clip(out));
        EXPECT_EQ(area, c.area) << c.name << ": the bars belong beside the picture as it is shown";
        EXPECT_EQ(EdgeColours(Clip(out), area), c.edges) << c.name;
        EXPECT_EQ(VideoField(Clip(out), "sample_aspect_ratio"), "1:1") << c.name;
    }
    // "Keep Original" keeps the picture upright at its shown size.
    Convert(Clip("clockwise.mp4"), " -vcodec xvid", 0, 1, "kept-cvt.mp4");
    const testkit::MediaInfo kept = testkit::ProbeStreams(Clip("kept-cvt.mp4"));
    ASSERT_NE(kept.First("video"), nullptr);
    EXPECT_EQ(kept.First("video")->width, 180);
    EXPECT_EQ(kept.First("video")->height, 320);
    EXPECT_EQ(EdgeColours(Clip("kept-cvt.mp4"), "180:320:0:0"),
              (std::vector<std::string>{"green", "red", "blue", "blue"}));
}

TEST_F(KestrelvxModernSources, TheVideoTrackMarkedDefaultIsConverted) {
    // A small red preview track first, the main blue one second and marked as the default.
    const std::string source =
        Make("two-tracks.mp4", "-f lavfi -i color=c=red:size=160x120:rate=25:d=2 "
                               "-f lavfi -i color=c=blue:size=320x240:rate=25:d=2 "
                               "-f lavfi -i sine=d=2 -map 0 -map 1 -map 2 "
                               "-c:v libx264 -pix_fmt yuv420p -c:a aac "
                               "-disposition:v:0 0 -disposition:v:1 default");
    // The application's file information shows the track that is converted.
    const kestrelvx_test::ReportView report =
        kestrelvx_test::ReadLikeApplication(kestrelvx_test::RunKestrelvx({"-i", source}).output);
    EXPECT_NE(report.video.find("320x240"), std::string::npos) << report.video;

    Convert(source, " -vcodec xvid", 0, 2, "two-tracks-cvt.mp4");
    const testkit::MediaInfo info = testkit::ProbeStreams(Clip("two-tracks-cvt.mp4"));
    ASSERT_NE(info.First("video"), nullptr);
    EXPECT_EQ(info.First("video")->width, 320);
    EXPECT_EQ(RegionColour(Clip("two-tracks-cvt.mp4"), 0, 0, 320, 240).Name(), "blue");
    EXPECT_NE(info.First("audio"), nullptr);
}

TEST_F(KestrelvxModernSources, TextSubtitlesBecomeSoftTracksAndTheOthersAreNamed) {
    std::ofstream(Clip("en.srt")) << "1\n00:00:00,500 --> 00:00:02,000\nHello there\n\n"
                                     "2\n00:00:02,500 --> 00:00:04,000\nSecond line\n";
    std::ofstream(Clip("fr.srt")) << "1\n00:00:00,500 --> 00:00:03,000\nBonjour\n";
    std::ofstream(Clip("words.vtt")) << "WEBVTT\n\n00:00:01.000 --> 00:00:02.000\nVTT words\n";
    std::ofstream(Clip("box.sup"), std::ios::binary) << PictureSubtitle();
    // SRT (English), ASS/SSA (French, the default track), WebVTT and a Blu-ray picture subtitle.
    const std::string film =
        Make("film.mkv", "-f lavfi -i testsrc2=size=320x240:rate=25:d=5 -f lavfi -i sine=d=5 "
                         "-i @en.srt -i @fr.srt -i @words.vtt -i @box.sup "
                         "-map 0 -map 1 -map 2 -map 3 -map 4 -map 5 "
                         "-c:v libx264 -c:a aac -c:s:0 srt -c:s:1 ass "
                         "-c:s:2 webvtt -c:s:3 copy "
                         "-metadata:s:s:0 language=eng -metadata:s:s:1 language=fre "
                         "-metadata:s:s:3 language=ger -disposition:s:0 0 "
                         "-disposition:s:1 default -disposition:s:2 0 "
                         "-disposition:s:3 0");
    ASSERT_EQ(SubtitleStreams(film).size(), 4u);

    const testkit::ProgramRun whole = Convert(film, " -vcodec xvid", 0, 5, "film-cvt.mp4");
    EXPECT_TRUE(HasNote(whole, "1 subtitle track was not carried: #0.5 (ger, hdmv_pgs_subtitle: "))
        << whole.output;
    EXPECT_EQ(SubtitleStreams(Clip("film-cvt.mp4")),
              (std::vector<std::string>{"mov_text,0,eng", "mov_text,1,fre", "mov_text,0,und"}));
    const std::string english = SubtitleText(Clip("film-cvt.mp4"), 0);
    EXPECT_NE(english.find("Hello there"), std::string::npos) << english;
    EXPECT_NE(english.find("Second line"), std::string::npos) << english;
    EXPECT_NEAR(CueSeconds(english, "Hello there"), 0.5, 0.1) << english;
    EXPECT_NEAR(CueSeconds(english, "Second line"), 2.5, 0.1) << english;
    EXPECT_NE(SubtitleText(Clip("film-cvt.mp4"), 1).find("Bonjour"), std::string::npos);
    EXPECT_NE(SubtitleText(Clip("film-cvt.mp4"), 2).find("VTT words"), std::string::npos);
    EXPECT_NE(testkit::ProbeStreams(Clip("film-cvt.mp4")).First("video"), nullptr);

    // A part from 1 s into a MOV (the H.264 format): the cues keep their time within the part,
    // and French keeps its name in the code a MOV file knows.
    Convert(film, " -vcodec xvid", 1, 3, "part-cvt.mov");
    const std::vector<std::string> part = SubtitleStreams(Clip("part-cvt.mov"));
    ASSERT_EQ(part.size(), 3u);
    EXPECT_EQ(part[1], "mov_text,1,fra");
    const std::string partEnglish = SubtitleText(Clip("part-cvt.mov"), 0);
    EXPECT_NEAR(CueSeconds(partEnglish, "Second line"), 1.5, 0.1) << partEnglish;

    // A target without subtitle tracks names them all; the conversion still succeeds.
    const testkit::ProgramRun vcd = Convert(film, "-target pal-vcd", 0, 5, "film-cvt.mpg");
    EXPECT_TRUE(HasNote(vcd, "4 subtitle tracks were not carried: #0.2 (eng, subrip: "))
        << vcd.output;
    EXPECT_TRUE(SubtitleStreams(Clip("film-cvt.mpg")).empty());
    EXPECT_NE(testkit::ProbeStreams(Clip("film-cvt.mpg")).First("video"), nullptr);
}

TEST_F(KestrelvxModernSources, APartBeginsWithTheFrameAtItsStartInAnyContainer) {
    const std::string counting = kestrelvx_test::CountingClipFilters(160, 64, 25, 8);
    // A transport stream with the usual key frame interval of 250 frames (one key frame in 8 s),
    // one with a key frame every second, and an MP4.
    struct Case {
        const char* name;
        const char* keyFrames;
    };
    for (const Case& c : {Case{"sparse.ts", "scenecut=0"}, Case{"dense.ts", "scenecut=0:keyint=25"},
                          Case{"indexed.mp4", "scenecut=0"}}) {
        const std::string source =
            Make(c.name, "-f lavfi -i " + counting + " -f lavfi -i sine=d=8 -c:v libx264 " +
                             "-x264-params " + c.keyFrames + " -c:a aac");
        // The frame at 2 s, found by decoding from the beginning.
        const int expected = kestrelvx_test::ShownCount({}, source, {"-ss", "2"});
        ASSERT_GE(expected, 45) << c.name;
        ASSERT_LE(expected, 55) << c.name;

        const std::string out = std::string(c.name) + "-cvt.mp4";
        Convert(source, " -vcodec xvid", 2, 3, out);
        EXPECT_EQ(kestrelvx_test::ShownCount({}, Clip(out)), expected) << c.name;
        const testkit::MediaInfo info = testkit::ProbeStreams(Clip(out));
        ASSERT_NE(info.First("video"), nullptr) << c.name;
        EXPECT_NEAR(info.First("video")->duration, 3.0, 0.1) << c.name;
        ASSERT_NE(info.First("audio"), nullptr) << c.name;
        EXPECT_NEAR(info.First("audio")->duration, 3.0, 0.1) << c.name;
    }
}

TEST_F(KestrelvxModernSources, HdrIsToneMappedToBt709AndTenBitSdrIsKept) {
    // SDR test pictures lifted to HDR as a phone records them: white at 1000 cd/m2, BT.2020, 10
    // bits.
    struct Case {
        const char* name;
        const char* transfer;
        const char* output;
    };
    for (const Case& c : {Case{"pq.mp4", "smpte2084", "pq-cvt.mp4"},
                          Case{"hlg.mov", "arib-std-b67", "hlg-cvt.mov"}}) {
        const std::string source = Make(
            c.name, std::string("-f lavfi -i testsrc2=size=320x240:rate=25:d=1,zscale=tin=bt709:"
                                "min=bt709:pin=bt709:m=bt2020nc:p=bt2020:npl=1000:t=") +
                        c.transfer + ",format=yuv420p10le " + kTenBits +
                        " -color_primaries bt2020 -colorspace bt2020nc -color_trc " + c.transfer);
        const double reference = FrameAverage(source, kToneMapReference);
        const double untouched = FrameAverage(source, "format=yuv420p");
        ASSERT_GT(std::fabs(untouched - reference), 12.0) << c.name << ": no test of tone mapping";

        const testkit::ProgramRun run = Convert(source, " -vcodec xvid", 0, 1, c.output);
        EXPECT_TRUE(HasNote(run, "the picture is HDR (")) << run.output;
        EXPECT_NE(Messages(run.output).find("tone-mapped to SDR BT.709"), std::string::npos)
            << run.output;
        EXPECT_EQ(VideoField(Clip(c.output), "color_primaries,color_transfer,color_space"),
                  "bt709,bt709,bt709")
            << c.name;
        EXPECT_NEAR(FrameAverage(Clip(c.output)), reference, 5.0) << c.name;
    }

    // 10-bit SDR becomes 8-bit without any tone mapping.
    const std::string sdr =
        Make("sdr10.mp4",
             std::string("-f lavfi -i testsrc2=size=320x240:rate=25:d=1,format=yuv420p10le ") +
                 kTenBits);
    const testkit::ProgramRun run = Convert(sdr, " -vcodec xvid", 0, 1, "sdr10-cvt.mp4");
    EXPECT_EQ(Messages(run.output).find("tone-mapped"), std::string::npos) << run.output;
    EXPECT_EQ(VideoField(Clip("sdr10-cvt.mp4"), "pix_fmt"), "yuv420p");
    EXPECT_NEAR(FrameAverage(Clip("sdr10-cvt.mp4")), FrameAverage(sdr), 3.0);
}

} // namespace
