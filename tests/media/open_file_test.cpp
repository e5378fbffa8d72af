// Opening files into a graph: the size floor, the first choice by extension, the framework's own
// rendering, the fallback order, missing demuxers and hostile file names.
#include "media/helpers/media_clips.h"
#include "media/media_components.h"
#include "media/open_file.h"
#include "support/log.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace media;
using mediatest::Graph;

namespace {

class OpenFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetHiddenFactories({});
        SetLogPath("");
    }
};

bool HasVideo(const Graph& graph) {
    std::shared_ptr<IVideoWindow> window;
    QueryInterface(graph.builder, window);
    return Succeeded(window->put_MessageDrain(1));
}

bool HasAudio(const Graph& graph) {
    std::shared_ptr<IBasicAudio> audio;
    QueryInterface(graph.builder, audio);
    return Succeeded(audio->put_Volume(0));
}

} // namespace

TEST_F(OpenFileTest, SizeFloorRefusesBelow102BytesWithItsLogLineAndPassesAt102) {
    testkit::TempDir dir;
    const std::string log = dir.File("lumicast.log");
    SetLogPath(log);
    Graph graph = mediatest::NewGraph();
    ASSERT_TRUE(graph.impl);

    const std::string small = mediatest::JunkFile("small.avi", 101);
    EXPECT_EQ(OpenFileInGraph(graph.builder.get(), small), kResultFileTooSmall);
    EXPECT_EQ(testkit::ReadFile(log), "**Error:E_CUS_FILE_SIZE_TOO_LITTLE,size=101\n");
    EXPECT_TRUE(mediatest::Tries(graph).empty()) << "no filter is made for a refused file";

    const std::string floor = mediatest::JunkFile("floor.avi", 102);
    EXPECT_EQ(OpenFileInGraph(graph.builder.get(), floor), kResultUnexpected);
    EXPECT_EQ(testkit::ReadFile(log), "**Error:E_CUS_FILE_SIZE_TOO_LITTLE,size=101\n");
    ASSERT_FALSE(mediatest::Tries(graph).empty());
    EXPECT_EQ(mediatest::Tries(graph).front(), "render-file:" + floor);

    // A file whose status cannot be read is not refused by the floor: it goes to the filters.
    Graph other = mediatest::NewGraph();
    EXPECT_EQ(OpenFileInGraph(other.builder.get(), dir.File("missing.mp4")), kResultUnexpected);
    EXPECT_EQ(mediatest::Tries(other).size(), 4u);
    EXPECT_EQ(OpenFileInGraph(nullptr, floor), kResultPointer);
}

TEST_F(OpenFileTest, RealMediaOpensThroughItsSourceFirstWithoutTheFrameworksRendering) {
    const std::string clip = mediatest::Clip("clip.rm");
    ASSERT_FALSE(clip.empty());
    // The extension is compared without regard to case.
    const std::string upper = mediatest::TempPath("CLIP.RM");
    std::filesystem::copy_file(clip, upper, std::filesystem::copy_options::overwrite_existing);
    Graph graph = mediatest::NewGraph();
    ASSERT_TRUE(Succeeded(OpenFileInGraph(graph.builder.get(), upper)));
    EXPECT_EQ(mediatest::Tries(graph), std::vector<std::string>{"add:RealMedia Source"});
    const auto names = mediatest::FilterNames(graph);
    EXPECT_EQ(names.front(), "RealMedia Source");
    EXPECT_TRUE(HasVideo(graph));
    EXPECT_TRUE(HasAudio(graph));
}

TEST_F(OpenFileTest, FileTheFrameworkCannotRenderFallsBackInOrderAndLeavesTheGraphEmpty) {
    const std::string junk = mediatest::JunkFile("junk.avi", 8192);
    Graph graph = mediatest::NewGraph();
    EXPECT_EQ(OpenFileInGraph(graph.builder.get(), junk), kResultUnexpected);
    EXPECT_EQ(mediatest::Tries(graph),
              (std::vector<std::string>{"render-file:" + junk, "add:WindowsMedia Source",
                                        "add:RealMedia Source", "add:QuickTime Source"}));
    EXPECT_TRUE(mediatest::FilterNames(graph).empty());

    // A RealMedia name that is not RealMedia: its source was the first choice, so the fallbacks
    // skip it.
    const std::string fake = mediatest::JunkFile("fake.rmvb", 4096);
    Graph second = mediatest::NewGraph();
    EXPECT_EQ(OpenFileInGraph(second.builder.get(), fake), kResultUnexpected);
    EXPECT_EQ(mediatest::Tries(second),
              (std::vector<std::string>{"add:RealMedia Source", "render-file:" + fake,
                                        "add:WindowsMedia Source", "add:QuickTime Source"}));
    EXPECT_TRUE(mediatest::FilterNames(second).empty());

    // A truncated MP4 (its index was at the end) fails every way, quickly, without a crash.
    const std::string whole = mediatest::Clip("whole.mp4");
    const std::string cut = mediatest::TempPath("cut.mp4");
    std::filesystem::copy_file(whole, cut, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(cut, std::filesystem::file_size(whole) / 2);
    Graph third = mediatest::NewGraph();
    EXPECT_EQ(OpenFileInGraph(third.builder.get(), cut), kResultUnexpected);
    EXPECT_TRUE(mediatest::FilterNames(third).empty());
}

TEST_F(OpenFileTest, MissingDemuxerFailsItsTryLikeAMissingFilter) {
    const std::string clip = mediatest::Clip("clip.rm");
    SetHiddenFactories({"rmdemux"});
    Graph graph = mediatest::NewGraph();
    EXPECT_EQ(
        TrySourceFilter(graph.builder.get(), clip, kRealMediaSource.name, kRealMediaSource.classId),
        kResultUnexpected);
    EXPECT_TRUE(mediatest::FilterNames(graph).empty());

    // Hidden means missing for the automatic decoding too: nothing else plays RealMedia.
    EXPECT_EQ(OpenFileInGraph(graph.builder.get(), clip), kResultUnexpected);
    EXPECT_EQ(mediatest::Tries(graph),
              (std::vector<std::string>{"render-file:" + clip, "add:WindowsMedia Source",
                                        "add:QuickTime Source"}));

    SetHiddenFactories({});
    EXPECT_TRUE(Succeeded(TrySourceFilter(graph.builder.get(), clip, kRealMediaSource.name,
                                          kRealMediaSource.classId)));
    EXPECT_EQ(TrySourceFilter(nullptr, clip, kRealMediaSource.name, kRealMediaSource.classId),
              kResultPointer);
    EXPECT_EQ(TrySourceFilter(graph.builder.get(), clip, "Nobody", "{00000000-0000-0000-0000-0}"),
              kResultUnexpected);
}

TEST_F(OpenFileTest, SourceFiltersRenderTheirOwnFormatAndFailOnOthers) {
    const std::string wmv = mediatest::Clip("clip.wmv");
    const std::string mov = mediatest::Clip("clip.mov");
    Graph graph = mediatest::NewGraph();
    EXPECT_TRUE(Succeeded(TrySourceFilter(graph.builder.get(), wmv, kWindowsMediaSource.name,
                                          kWindowsMediaSource.classId)));
    EXPECT_TRUE(HasVideo(graph));
    RemoveAllFilters(graph.builder.get());
    EXPECT_TRUE(mediatest::FilterNames(graph).empty());
    EXPECT_FALSE(HasVideo(graph)) << "the outputs go with the filters";

    // The wrong demuxer: the try fails and takes its filter and everything behind it out.
    EXPECT_TRUE(Failed(TrySourceFilter(graph.builder.get(), mov, kWindowsMediaSource.name,
                                       kWindowsMediaSource.classId)));
    EXPECT_TRUE(mediatest::FilterNames(graph).empty());
    EXPECT_TRUE(Succeeded(TrySourceFilter(graph.builder.get(), mov, kQuickTimeSource.name,
                                          kQuickTimeSource.classId)));

    // A filter that reads no file cannot have a path rendered.
    std::shared_ptr<IBaseFilter> none;
    EXPECT_EQ(RenderOutputPins(graph.builder.get(), none, mov), kResultNoInterface);
}

TEST_F(OpenFileTest, EveryGeneratedFormatOpensWithTheRightOutputs) {
    struct Case {
        const char* name;
        bool bVideo;
    };
    for (const Case& c : {Case{"clip.wmv", true}, Case{"clip.mov", true}, Case{"clip.avi", true},
                          Case{"clip.mkv", true}, Case{"clip.mp4", true}, Case{"tone.wav", false},
                          Case{"tone.mp3", false}}) {
        SCOPED_TRACE(c.name);
        const std::string clip = mediatest::Clip(c.name);
        ASSERT_FALSE(clip.empty());
        Graph graph = mediatest::NewGraph();
        EXPECT_TRUE(Succeeded(OpenFileInGraph(graph.builder.get(), clip)));
        EXPECT_EQ(mediatest::Tries(graph), std::vector<std::string>{"render-file:" + clip});
        EXPECT_EQ(HasVideo(graph), c.bVideo);
        EXPECT_TRUE(HasAudio(graph));
    }
}

TEST_F(OpenFileTest, HostileFileNameOpensAsTheFileItNames) {
    const std::string clip = mediatest::Clip("clip.mp4");
    // Characters a URI would read as syntax, quotes, and bytes that are not ASCII (or UTF-8).
    for (const std::string& name :
         {std::string("a #1 ?x=%20 'q' \"d\" caf\xc3\xa9.mp4"),
          std::string("file%3A%2F%2Fx \xff\xfe.mp4"), std::string("-rm.mp4")}) {
        const std::string path = mediatest::TempPath(name);
        std::filesystem::copy_file(clip, path, std::filesystem::copy_options::overwrite_existing);
        Graph graph = mediatest::NewGraph();
        EXPECT_TRUE(Succeeded(OpenFileInGraph(graph.builder.get(), path))) << name;
        EXPECT_TRUE(HasVideo(graph)) << name;
    }
}

TEST_F(OpenFileTest, FirstOpeningRacesTheLoadingAheadAndChoosesAlike) {
    // The loading ahead runs beside the first opening of the process (each test runs in a process
    // of its own): both want the same plugins at once, and the opening neither fails nor takes
    // another way.
    const std::string clip = mediatest::Clip("clip.mp4");
    PrepareMediaFramework();
    Graph graph = mediatest::NewGraph();
    EXPECT_TRUE(Succeeded(OpenFileInGraph(graph.builder.get(), clip)));
    EXPECT_EQ(mediatest::Tries(graph), std::vector<std::string>{"render-file:" + clip});
    EXPECT_TRUE(HasVideo(graph));
    EXPECT_TRUE(HasAudio(graph));
}
