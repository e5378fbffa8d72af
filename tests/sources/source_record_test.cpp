#include "sources/source_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "common/testkit.h"
#include "lang/resource_strings.h"
#include "sources/record_array.h"

namespace {

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

FileMediaFormat Clip() {
    FileMediaFormat record;
    record.m_strPath = "/media/clip.avi";
    record.m_strTitle = "clip";
    record.m_strExt = "avi";
    return record;
}

TEST(SourceRecord, MakeTargetNameCountsPastFilesAndFoldersInTheWay) {
    testkit::TempDir dir;
    FileMediaFormat record = Clip();

    record.MakeTargetName(dir.Path() + "/", "mp4", "cvt");
    EXPECT_EQ(record.m_strTargetName, "clip-cvt");
    EXPECT_EQ(record.GetTargetPath(), dir.Path() + "/clip-cvt.mp4");

    Touch(dir.File("clip-cvt.mp4"));
    record.MakeTargetName(dir.Path() + "/", "mp4", "cvt");
    EXPECT_EQ(record.GetTargetFileName(), "clip-cvt[1].mp4");

    // A folder with the candidate name is in the way as much as a file.
    std::filesystem::create_directory(dir.File("clip-cvt[1].mp4"));
    record.MakeTargetName(dir.Path() + "/", "mp4", "cvt");
    EXPECT_EQ(record.m_strTargetName, "clip-cvt[2]");

    // Another extension is free again.
    record.MakeTargetName(dir.Path() + "/", "mov", "cvt");
    EXPECT_EQ(record.m_strTargetName, "clip-cvt");
    EXPECT_EQ(record.m_strTargetExt, "mov");
}

TEST(SourceRecord, MakeTargetNameFolderSlashAndEmptySuffix) {
    testkit::TempDir dir;
    FileMediaFormat record = Clip();
    record.MakeTargetName(dir.Path(), "mp4", "");
    EXPECT_EQ(record.m_strTargetFolder, dir.Path() + "/");
    EXPECT_EQ(record.m_strTargetName, "clip");
    EXPECT_EQ(record.GetTargetPath(), dir.Path() + "/clip.mp4");

    Touch(dir.File("clip.mp4"));
    record.MakeTargetName(dir.Path(), "mp4", "");
    EXPECT_EQ(record.m_strTargetName, "clip[1]");

    // An empty folder stays empty.
    record.MakeTargetName("", "mp4", "cvt");
    EXPECT_EQ(record.m_strTargetFolder, "");
}

TEST(SourceRecord, MakeTargetNameTakesTheThousandthUntestedWhenAllAreTaken) {
    testkit::TempDir dir;
    FileMediaFormat record = Clip();
    Touch(dir.File("clip-cvt.mp4"));
    for (int n = 1; n <= 999; ++n) {
        Touch(dir.File("clip-cvt[" + std::to_string(n) + "].mp4"));
    }
    record.MakeTargetName(dir.Path(), "mp4", "cvt");
    EXPECT_EQ(record.m_strTargetName, "clip-cvt[1000]");
    Touch(dir.File("clip-cvt[1000].mp4"));
    record.MakeTargetName(dir.Path(), "mp4", "cvt");
    EXPECT_EQ(record.m_strTargetName, "clip-cvt[1000]");
}

// Long titles: every candidate fits the file system's 255-byte name limit, is cut only at a whole
// character, keeps its suffix, counter and extension, and can really be written; the free-name
// test still counts on past the names in use.
TEST(SourceRecord, MakeTargetNameShortensLongTitlesToFitTheNameLimit) {
    testkit::TempDir dir;
    const std::string euro = "\xE2\x82\xAC"; // one character, three bytes
    for (const std::string& title :
         {std::string(246, 'a'), std::string(254, 'b'), std::string(300, 'c'), "d" + [&] {
              std::string s;
              for (int i = 0; i < 90; ++i) {
                  s += euro;
              }
              return s;
          }()}) {
        FileMediaFormat record = Clip();
        record.m_strTitle = title;
        std::set<std::string> names;
        for (int round = 0; round < 3; ++round) {
            record.MakeTargetName(dir.Path(), "mp4", "cvt");
            const std::string name = record.GetTargetFileName();
            EXPECT_LE(name.size(), 255U) << name;
            const std::string tail =
                round == 0 ? "-cvt.mp4" : "-cvt[" + std::to_string(round) + "].mp4";
            ASSERT_GT(name.size(), tail.size());
            EXPECT_EQ(name.substr(name.size() - tail.size()), tail);
            const std::string kept = name.substr(0, name.size() - tail.size());
            EXPECT_EQ(title.compare(0, kept.size(), kept), 0);
            if (title.size() + tail.size() <= 255) {
                EXPECT_EQ(kept, title);
            } else {
                // Cut right after a whole character, as close to the limit as that allows.
                EXPECT_GT(kept.size() + tail.size(), 252U);
                EXPECT_NE(static_cast<unsigned char>(title[kept.size()]) & 0xC0, 0x80);
            }
            EXPECT_TRUE(names.insert(name).second);
            Touch(record.GetTargetPath());
            ASSERT_TRUE(std::filesystem::exists(record.GetTargetPath())) << name;
        }
    }
}

// Names claimed side by side: each reservation makes the file, so the same title never gets the
// same name twice and nothing in the way is ever taken.
TEST(SourceRecord, ReserveTargetNameClaimsEachNameOnce) {
    testkit::TempDir dir;
    std::filesystem::create_directory(dir.File("clip-cvt[1].mp4"));
    std::set<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        FileMediaFormat record = Clip();
        ASSERT_TRUE(record.ReserveTargetName(dir.Path(), "mp4", "cvt"));
        EXPECT_TRUE(std::filesystem::is_regular_file(record.GetTargetPath()));
        EXPECT_EQ(std::filesystem::file_size(record.GetTargetPath()), 0U);
        EXPECT_TRUE(paths.insert(record.GetTargetFileName()).second);
    }
    EXPECT_EQ(paths, (std::set<std::string>{"clip-cvt.mp4", "clip-cvt[2].mp4", "clip-cvt[3].mp4",
                                            "clip-cvt[4].mp4"}));

    // A folder that takes no new file: the name is chosen as MakeTargetName does, unclaimed.
    FileMediaFormat record = Clip();
    EXPECT_FALSE(record.ReserveTargetName(dir.File("missing"), "mp4", "cvt"));
    EXPECT_EQ(record.GetTargetPath(), dir.File("missing") + "/clip-cvt.mp4");
}

TEST(SourceRecord, NamesAndFullCopy) {
    FileMediaFormat record = Clip();
    record.m_strTargetFolder = "/out/";
    record.m_strTargetName = "clip-cvt";
    record.m_strTargetExt = "mp4";
    EXPECT_EQ(record.GetFileName(), "clip.avi");
    EXPECT_EQ(record.GetTargetFileName(), "clip-cvt.mp4");
    EXPECT_EQ(record.GetTargetPath(), "/out/clip-cvt.mp4");

    record.m_nBitsPerSample = 16;
    record.m_nSamplesPerSec = 44100;
    record.m_nChannels = 2;
    record.m_nDuration = 95;
    record.m_nFormatTag = 1;
    record.m_nAvgBytesPerSec = 176400;
    record.m_nBlockAlign = 4;
    record.m_nStart = 10;
    record.m_nEnd = 90;
    record.m_bConverted = 1;
    record.m_nStatus = kStatusDone;
    record.m_strDuration = "00:01:35.00 (95 s)";
    record.m_strBitrate = "1014 kb/s";
    record.m_strVideo = " mpeg4, yuv420p, 640x480";
    record.m_strAudio = " mp3, 44100 Hz, stereo";

    // The view copies records through base pointers' dynamic type when it is rebuilt.
    std::unique_ptr<FileAudioFormat> pBase = std::make_unique<FileMediaFormat>(record);
    const auto& copy = dynamic_cast<const FileMediaFormat&>(*pBase);
    EXPECT_EQ(copy.m_strPath, record.m_strPath);
    EXPECT_EQ(copy.GetFileName(), "clip.avi");
    EXPECT_EQ(copy.GetTargetPath(), "/out/clip-cvt.mp4");
    EXPECT_EQ(copy.m_nBitsPerSample, 16);
    EXPECT_EQ(copy.m_nSamplesPerSec, 44100U);
    EXPECT_EQ(copy.m_nChannels, 2);
    EXPECT_EQ(copy.m_nDuration, 95);
    EXPECT_EQ(copy.m_nFormatTag, 1);
    EXPECT_EQ(copy.m_nAvgBytesPerSec, 176400U);
    EXPECT_EQ(copy.m_nBlockAlign, 4);
    EXPECT_EQ(copy.m_nStart, 10);
    EXPECT_EQ(copy.m_nEnd, 90);
    EXPECT_EQ(copy.m_bConverted, 1);
    EXPECT_EQ(copy.m_nStatus, kStatusDone);
    EXPECT_EQ(copy.m_strDuration, record.m_strDuration);
    EXPECT_EQ(copy.m_strBitrate, record.m_strBitrate);
    EXPECT_EQ(copy.m_strVideo, record.m_strVideo);
    EXPECT_EQ(copy.m_strAudio, record.m_strAudio);
}

TEST(SourceRecord, StatusTexts) {
    SetCurrentResources(nullptr);
    const char* texts[] = {"Ready", "Waiting", "Doing", "Skip", "Done", "Error"};
    const int ids[] = {61323, 61335, 61316, 61328, 61317, 61313};
    for (int code = 0; code <= 5; ++code) {
        EXPECT_EQ(StatusTextId(code), ids[code]);
        EXPECT_EQ(StatusText(code), texts[code]);
    }
    EXPECT_EQ(StatusText(-1), "Ready");
    EXPECT_EQ(StatusText(6), "Ready");
}

std::unique_ptr<FileMediaFormat> Named(const std::string& title) {
    auto p = std::make_unique<FileMediaFormat>();
    p->m_strTitle = title;
    return p;
}

TEST(RecordArray, IndexesAreNeverReused) {
    CRecordArray records;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(records.Add(Named("r" + std::to_string(i))), i);
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(records.Remove(i));
    }
    EXPECT_FALSE(records.Remove(3)); // already empty
    EXPECT_FALSE(records.Remove(8)); // out of range
    EXPECT_FALSE(records.Remove(-1));
    ASSERT_NE(records.At(7), nullptr);
    EXPECT_EQ(records.At(7)->m_strTitle, "r7");
    EXPECT_EQ(records.At(0), nullptr);
    EXPECT_EQ(records.At(99), nullptr);
    EXPECT_EQ(records.Count(), 1);
    EXPECT_EQ(records.Add(Named("next")), 8);
    EXPECT_EQ(records.Size(), 9);

    records.RemoveAll();
    EXPECT_EQ(records.Size(), 0);
    EXPECT_EQ(records.Add(Named("again")), 0);
}

TEST(RecordArray, CopyKeepsEveryIndexAndEmptySlot) {
    CRecordArray old;
    old.Add(Named("a"));
    old.Add(Named("b"));
    old.Add(Named("c"));
    old.Remove(1);
    old.At(2)->m_nStart = 5;

    CRecordArray rebuilt;
    rebuilt.Add(Named("stale"));
    rebuilt.CopyFrom(old);
    ASSERT_EQ(rebuilt.Size(), 3);
    EXPECT_EQ(rebuilt.At(0)->m_strTitle, "a");
    EXPECT_EQ(rebuilt.At(1), nullptr);
    EXPECT_EQ(rebuilt.At(2)->m_nStart, 5);
    EXPECT_NE(rebuilt.At(2), old.At(2)); // copies, not shared records
    EXPECT_EQ(rebuilt.Add(nullptr), 3);  // an empty slot can be appended too
    EXPECT_EQ(rebuilt.Count(), 2);
}

} // namespace
