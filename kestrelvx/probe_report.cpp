#include "kestrelvx/probe_report.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "kestrelvx/console.h"

namespace kestrelvx {
namespace {

constexpr size_t kMetadataValueLimit = 200;

// What may be dropped first has the highest rank.
enum Rank { kKeep = 0, kMainStream = 1, kOtherStream = 2, kMetadata = 3 };

struct ReportLine {
    std::string text; // with its line feed
    Rank rank;
};

// Cuts text to at most max bytes without splitting a UTF-8 sequence.
std::string CutUtf8(const std::string& text, size_t max) {
    if (text.size() <= max) {
        return text;
    }
    size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

// Keeps the start and the end of a long path with "..." between them, within max bytes.
std::string ShortenPath(const std::string& path, size_t max) {
    if (path.size() <= max) {
        return path;
    }
    if (max < 5) {
        return "...";
    }
    const size_t keep = max - 3;
    const size_t head = keep / 2;
    size_t tailStart = path.size() - (keep - head);
    while (tailStart < path.size() &&
           (static_cast<unsigned char>(path[tailStart]) & 0xC0) == 0x80) {
        ++tailStart;
    }
    return CutUtf8(path, head) + "..." + path.substr(tailStart);
}

const char* KindName(StreamKind kind) {
    switch (kind) {
    case StreamKind::Video:
        return "Video";
    case StreamKind::Audio:
        return "Audio";
    case StreamKind::Subtitle:
        return "Subtitle";
    case StreamKind::Data:
        return "Data";
    case StreamKind::Attachment:
        return "Attachment";
    case StreamKind::Unknown:
        break;
    }
    return "Unknown";
}

std::string InputLine(const std::string& formatName, const std::string& shownPath) {
    return "Input #0, " + SafeText(formatName) + ", from '" + shownPath + "':\n";
}

size_t TotalSize(const std::vector<ReportLine>& lines) {
    size_t total = 0;
    for (const ReportLine& line : lines) {
        total += line.text.size();
    }
    return total;
}

// Removes lines of the given rank from the end until the report fits.
void DropFromEnd(std::vector<ReportLine>& lines, Rank rank, size_t limit) {
    for (size_t i = lines.size(); i > 0 && TotalSize(lines) > limit; --i) {
        if (lines[i - 1].rank == rank) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i - 1));
        }
    }
}

} // namespace

std::string FormatDurationLine(const MediaFacts& facts) {
    char text[160];
    std::string line = "  Duration: ";
    if (facts.hasDuration) {
        // Rounded to hundredths, as the report has always shown it.
        const int64_t rounded = facts.durationUs + 5000;
        const int64_t seconds = rounded / 1000000;
        const int64_t hundredths = (rounded % 1000000) / 10000;
        std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64 ".%02" PRId64,
                      seconds / 3600, (seconds / 60) % 60, seconds % 60, hundredths);
        line += text;
    } else {
        line += "N/A";
    }
    line += ", start: ";
    if (facts.hasStart) {
        const int64_t magnitude = facts.startUs < 0 ? -facts.startUs : facts.startUs;
        std::snprintf(text, sizeof text, "%s%" PRId64 ".%06" PRId64, facts.startUs < 0 ? "-" : "",
                      magnitude / 1000000, magnitude % 1000000);
        line += text;
    } else {
        line += "N/A";
    }
    line += ", bitrate: ";
    if (facts.bitRate > 0) {
        line += std::to_string(facts.bitRate / 1000) + " kb/s";
    } else {
        line += "N/A";
    }
    return line;
}

std::string FormatProbeReport(const std::string& path, const MediaFacts& facts, size_t limit) {
    const std::string shownPath = SafeText(path);
    std::vector<ReportLine> lines;
    lines.push_back({InputLine(facts.formatName, shownPath), kKeep});
    if (!facts.metadata.empty()) {
        lines.push_back({"  Metadata:\n", kMetadata});
        for (const auto& [key, value] : facts.metadata) {
            char name[64];
            std::snprintf(name, sizeof name, "    %-16s: ", CutUtf8(key, 40).c_str());
            // Made safe as a whole: a key may end where the value's markers begin.
            lines.push_back(
                {SafeText(name + CutUtf8(value, kMetadataValueLimit)) + "\n", kMetadata});
        }
    }
    lines.push_back({FormatDurationLine(facts) + "\n", kKeep});
    // The application keeps the last video and the last audio line: the streams a conversion
    // takes (the main video, the default audio track) come after the others of their kind, and
    // cover art is a picture, not video.
    const StreamFacts* mainVideo = facts.MainVideo();
    const StreamFacts* mainAudio = facts.MainAudio();
    std::vector<const StreamFacts*> order;
    for (const StreamFacts& stream : facts.streams) {
        if (&stream != mainVideo && &stream != mainAudio) {
            order.push_back(&stream);
        }
    }
    for (const StreamFacts* chosen : {mainVideo, mainAudio}) {
        if (chosen != nullptr) {
            order.push_back(chosen);
        }
    }
    for (const StreamFacts* stream : order) {
        const bool main = stream == mainVideo || stream == mainAudio;
        const char* kind = stream->attachedPicture ? "Picture" : KindName(stream->kind);
        lines.push_back({"    Stream #0." + std::to_string(stream->index) + "(" + stream->language +
                             "): " + kind + ": " + SafeText(stream->description) + "\n",
                         main ? kMainStream : kOtherStream});
    }

    DropFromEnd(lines, kMetadata, limit);
    // A "Metadata:" heading whose entries all went goes too.
    if (lines.size() > 1 && lines[1].rank == kMetadata &&
        (lines.size() < 3 || lines[2].rank != kMetadata)) {
        lines.erase(lines.begin() + 1);
    }
    if (TotalSize(lines) > limit) {
        const size_t excess = TotalSize(lines) - limit;
        const size_t room = shownPath.size() > excess + 3 ? shownPath.size() - excess : 3;
        lines[0].text = InputLine(facts.formatName, ShortenPath(shownPath, room));
    }
    DropFromEnd(lines, kOtherStream, limit);
    DropFromEnd(lines, kMainStream, limit);

    std::string report;
    for (const ReportLine& line : lines) {
        report += line.text;
    }
    return CutUtf8(report, limit);
}

} // namespace kestrelvx
