#include "kestrelvx/helpers/kestrelvx_runner.h"

#include <cstdlib>
#include <cstring>

#include "common/testkit.h"

namespace kestrelvx_test {
namespace {

// strtok's rules on a copy: leading delimiters skipped, empty tokens never returned.
class Tokens {
public:
    explicit Tokens(std::string text) : m_text(std::move(text)) {}
    bool Next(const char* delimiters, std::string& token) {
        size_t start = m_text.find_first_not_of(delimiters, m_pos);
        if (start == std::string::npos) {
            m_pos = m_text.size();
            return false;
        }
        size_t end = m_text.find_first_of(delimiters, start);
        if (end == std::string::npos) {
            token = m_text.substr(start);
            m_pos = m_text.size();
        } else {
            token = m_text.substr(start, end - start);
            m_pos = end + 1;
        }
        return true;
    }

private:
    std::string m_text;
    size_t m_pos = 0;
};

int64_t LeadingInt(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

} // namespace

testkit::ProgramRun RunKestrelvx(const std::vector<std::string>& words,
                                 const std::string& program) {
    std::vector<std::string> argv = {program.empty() ? testkit::BinDir() + "/Kestrelvx" : program,
                                     kToken};
    argv.insert(argv.end(), words.begin(), words.end());
    return testkit::RunProgram(argv, 60000);
}

std::vector<std::string> ConversionWords(const std::string& input, const std::string& title,
                                         const std::string& options, int start, int length,
                                         const std::string& output) {
    std::vector<std::string> words = {"-i", input, "-title", title};
    size_t at = 0;
    while (at < options.size()) {
        const size_t blank = options.find(' ', at);
        const size_t end = blank == std::string::npos ? options.size() : blank;
        if (end > at) {
            words.push_back(options.substr(at, end - at));
        }
        at = end + 1;
    }
    words.insert(words.end(),
                 {"-ss", std::to_string(start), "-t", std::to_string(length), "-y", output});
    return words;
}

ReportView ReadLikeApplication(const std::string& report) {
    ReportView view;
    const std::string text = report.substr(0, std::strlen(report.c_str()));
    size_t scan = 0;
    const size_t found = text.find("Duration: ");
    if (found != std::string::npos) {
        const size_t feed = text.find('\n', found);
        scan = found;
        if (feed != std::string::npos) {
            const std::string line = text.substr(found + 10, feed - found - 10).substr(0, 199);
            const size_t comma = line.find(',');
            Tokens tokens(line);
            std::string h;
            std::string m;
            std::string s;
            if (comma != std::string::npos && tokens.Next(":", h) && tokens.Next(":", m) &&
                tokens.Next(",", s)) {
                view.seconds = (LeadingInt(h) * 60 + LeadingInt(m)) * 60 + LeadingInt(s);
                view.durationText =
                    line.substr(0, comma) + " (" + std::to_string(view.seconds) + " s)";
                std::string skip;
                std::string rate;
                if (tokens.Next(":", skip) && tokens.Next(":", skip) && tokens.Next(" ", rate)) {
                    view.bitrate = rate + " kb/s";
                }
                scan = feed;
            } else {
                view.durationText = "0 (0 s)";
            }
        }
    }
    for (;;) {
        const size_t stream = text.find("Stream #", scan);
        if (stream == std::string::npos) {
            break;
        }
        const size_t feed = text.find('\n', stream);
        if (feed == std::string::npos) {
            break;
        }
        const std::string line = text.substr(stream + 8, feed - stream - 8).substr(0, 199);
        std::string* field = nullptr;
        if (line.find("Video:") != std::string::npos) {
            field = &view.video;
        } else if (line.find("Audio:") != std::string::npos) {
            field = &view.audio;
        }
        if (field != nullptr) {
            Tokens tokens(line);
            std::string skip;
            std::string rest;
            *field = tokens.Next(":", skip) && tokens.Next(":", skip) && tokens.Next("\n", rest)
                         ? rest
                         : std::string();
        }
        scan = feed + 1;
    }
    return view;
}

bool MatchesShape(std::string_view text, std::string_view shape) {
    if (shape.empty()) {
        return text.empty();
    }
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    switch (shape[0]) {
    case '*':
        for (size_t skip = 0; skip <= text.size(); ++skip) {
            if (MatchesShape(text.substr(skip), shape.substr(1))) {
                return true;
            }
        }
        return false;
    case '#': {
        size_t digits = 0;
        while (digits < text.size() && digit(text[digits])) {
            ++digits;
        }
        for (size_t used = digits; used >= 1; --used) {
            if (MatchesShape(text.substr(used), shape.substr(1))) {
                return true;
            }
        }
        return false;
    }
    case '%':
        return !text.empty() && digit(text[0]) && MatchesShape(text.substr(1), shape.substr(1));
    default:
        return !text.empty() && text[0] == shape[0] &&
               MatchesShape(text.substr(1), shape.substr(1));
    }
}

std::string DurationLine(const std::string& report) {
    const size_t start = report.find("\n  Duration: ");
    if (start == std::string::npos) {
        return {};
    }
    const size_t end = report.find('\n', start + 1);
    return report.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

} // namespace kestrelvx_test
