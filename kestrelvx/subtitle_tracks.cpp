#include "kestrelvx/subtitle_tracks.h"

namespace kestrelvx {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A MOV file names a language only by the old Macintosh codes, which take some languages by
// their bibliographic ISO 639-2 code and some by their terminological one: the code it knows.
std::string MovLanguage(const std::string& language) {
    static const char* const kOtherForm[][2] = {
        {"fre", "fra"}, {"deu", "ger"}, {"nld", "dut"}, {"ell", "gre"}, {"isl", "ice"},
        {"zho", "chi"}, {"rum", "ron"}, {"cze", "ces"}, {"slo", "slk"}, {"mkd", "mac"},
        {"hye", "arm"}, {"kat", "geo"}, {"bod", "tib"}, {"mya", "bur"}, {"msa", "may"},
        {"cym", "wel"}, {"eus", "baq"}, {"sqi", "alb"}};
    for (const auto& pair : kOtherForm) {
        if (language == pair[0]) {
            return pair[1];
        }
    }
    return language;
}

// Why stream cannot go into the output; empty when it can.
std::string Obstacle(const std::string& target, const StreamFacts& stream) {
    if (target.empty() && stream.pictureSubtitle) {
        return "a picture subtitle, MP4 and MOV take text";
    }
    if (target.empty()) {
        return stream.textSubtitle ? std::string() : "a subtitle format that cannot be read";
    }
    if (!EndsWith(target, "-dvd")) {
        std::string disc = target.substr(target.find('-') + 1);
        for (char& c : disc) {
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
        return "the " + disc + " target holds no subtitles";
    }
    return stream.description == "dvd_subtitle" ? std::string() : "a DVD takes DVD subtitles only";
}

} // namespace

SubtitlePlan PlanSubtitles(const std::string& container, const std::string& target,
                           const MediaFacts& source) {
    SubtitlePlan plan;
    std::vector<std::string> left;
    for (const StreamFacts& stream : source.streams) {
        if (stream.kind != StreamKind::Subtitle) {
            continue;
        }
        const std::string obstacle = Obstacle(target, stream);
        if (!obstacle.empty()) {
            left.push_back("#0." + std::to_string(stream.index) + " (" + stream.language + ", " +
                           stream.description + ": " + obstacle + ")");
            continue;
        }
        const std::string out = "s:" + std::to_string(plan.carried);
        const std::string language =
            container == "mov" ? MovLanguage(stream.language) : stream.language;
        plan.args.insert(plan.args.end(),
                         {"-map", "0:" + std::to_string(stream.index), "-c:" + out,
                          target.empty() ? "mov_text" : "copy", "-metadata:s:" + out,
                          "language=" + language, "-disposition:" + out,
                          stream.isDefault ? "default" : "0"});
        ++plan.carried;
    }
    if (!left.empty()) {
        plan.note = std::to_string(left.size()) + (left.size() == 1
                                                       ? " subtitle track was not carried: "
                                                       : " subtitle tracks were not carried: ");
        for (size_t i = 0; i < left.size(); ++i) {
            plan.note += (i == 0 ? "" : ", ") + left[i];
        }
    }
    return plan;
}

} // namespace kestrelvx
