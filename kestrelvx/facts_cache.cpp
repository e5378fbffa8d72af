#include "kestrelvx/facts_cache.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrelvx {
namespace {

// Every field of the facts is kept: a field added to them must be added to FactsText and
// ParseFactsText (and the sizes below), or a conversion would miss it after a probe.
static_assert(sizeof(StreamFacts) == 248 && sizeof(MediaFacts) == 120,
              "StreamFacts or MediaFacts changed: keep the new fields in facts_cache.cpp");

constexpr char kMagic[] = "kestrelvx-facts-2";
constexpr std::time_t kKeepSeconds = 24 * 60 * 60;

// Fields are written as "<length>:<bytes>", so any byte may stand in them.
void Put(std::string& out, const std::string& field) {
    out += std::to_string(field.size());
    out += ':';
    out += field;
}

void Put(std::string& out, long long value) {
    Put(out, std::to_string(value));
}

class CFields {
public:
    explicit CFields(const std::string& text) : m_text(text) {}

    bool Text(std::string& field) {
        const std::size_t colon = m_text.find(':', m_nAt);
        if (colon == std::string::npos || colon == m_nAt || colon - m_nAt > 9) {
            return false;
        }
        std::size_t length = 0;
        for (std::size_t i = m_nAt; i < colon; ++i) {
            if (m_text[i] < '0' || m_text[i] > '9') {
                return false;
            }
            length = length * 10 + static_cast<std::size_t>(m_text[i] - '0');
        }
        if (length > m_text.size() - colon - 1) {
            return false;
        }
        field = m_text.substr(colon + 1, length);
        m_nAt = colon + 1 + length;
        return true;
    }

    template <class T> bool Number(T& value) {
        std::string field;
        if (!Text(field) || field.empty()) {
            return false;
        }
        char* end = nullptr;
        errno = 0;
        const long long n = std::strtoll(field.c_str(), &end, 10);
        if (*end != '\0' || errno != 0) {
            return false;
        }
        value = static_cast<T>(n);
        return static_cast<long long>(value) == n;
    }

    bool Real(double& value) {
        std::string field;
        if (!Text(field) || field.empty()) {
            return false;
        }
        char* end = nullptr;
        value = std::strtod(field.c_str(), &end);
        return *end == '\0';
    }

    bool AtEnd() const { return m_nAt == m_text.size(); }

private:
    const std::string& m_text;
    std::size_t m_nAt = 0;
};

std::string RealText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The identity of the file the facts belong to.
std::string FileKey(const std::string& path, const struct stat& info) {
    std::string key;
    Put(key, path);
    for (long long n :
         {static_cast<long long>(info.st_dev), static_cast<long long>(info.st_ino),
          static_cast<long long>(info.st_size), static_cast<long long>(info.st_mtim.tv_sec),
          static_cast<long long>(info.st_mtim.tv_nsec), static_cast<long long>(info.st_ctim.tv_sec),
          static_cast<long long>(info.st_ctim.tv_nsec)}) {
        Put(key, n);
    }
    return key;
}

std::string CacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string folder;
    if (cache != nullptr && cache[0] == '/') {
        folder = cache;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        folder = std::string(home) + "/.cache";
    } else {
        return {};
    }
    return folder + "/Velmora/Kestrelvx";
}

// The kept file for a path: named after it (FNV-1a).
std::string CacheFile(const std::string& folder, const std::string& path) {
    unsigned long long hash = 14695981039346656037ULL;
    for (unsigned char c : path) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    char name[40];
    std::snprintf(name, sizeof name, "/facts-%016llx", hash);
    return folder + name;
}

bool MakeFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Facts older than a day are of no use any more: they go when new ones are kept.
void Prune(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info {};
        const std::string file = folder + "/" + name;
        if (name.rfind("facts-", 0) == 0 && lstat(file.c_str(), &info) == 0 &&
            now - info.st_mtim.tv_sec >= kKeepSeconds) {
            unlink(file.c_str());
        }
    }
    closedir(dir);
}

void Keep(const std::string& folder, const std::string& file, const std::string& text) {
    if (!MakeFolder(folder)) {
        return;
    }
    Prune(folder);
    std::string temporary = file + ".tmp-XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        written = n > 0 || (n < 0 && errno == EINTR);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    if (close(fd) != 0 || !written || rename(temporary.c_str(), file.c_str()) != 0) {
        unlink(temporary.c_str());
    }
}

} // namespace

std::string FactsText(const MediaFacts& facts) {
    std::string text;
    Put(text, facts.formatName);
    Put(text, facts.hasDuration ? 1 : 0);
    Put(text, facts.durationUs);
    Put(text, facts.hasStart ? 1 : 0);
    Put(text, facts.startUs);
    Put(text, facts.bitRate);
    Put(text, static_cast<long long>(facts.metadata.size()));
    for (const auto& [key, value] : facts.metadata) {
        Put(text, key);
        Put(text, value);
    }
    Put(text, static_cast<long long>(facts.streams.size()));
    for (const StreamFacts& s : facts.streams) {
        Put(text, s.index);
        Put(text, static_cast<long long>(s.kind));
        Put(text, s.language);
        Put(text, s.description);
        for (long long n :
             {static_cast<long long>(s.width), static_cast<long long>(s.height),
              static_cast<long long>(s.attachedPicture), static_cast<long long>(s.isDefault),
              static_cast<long long>(s.interlaced), static_cast<long long>(s.sarNum),
              static_cast<long long>(s.sarDen)}) {
            Put(text, n);
        }
        Put(text, RealText(s.frameRate));
        for (long long n : {static_cast<long long>(s.rateNum), static_cast<long long>(s.rateDen),
                            static_cast<long long>(s.frames), static_cast<long long>(s.channels),
                            static_cast<long long>(s.sampleRate)}) {
            Put(text, n);
        }
        Put(text, s.displayTurn);
        Put(text, s.displayMirrored ? 1 : 0);
        Put(text, s.primaries);
        Put(text, s.transfer);
        Put(text, s.matrix);
        for (long long n :
             {static_cast<long long>(s.fullRange), static_cast<long long>(s.bitDepth),
              static_cast<long long>(s.textSubtitle), static_cast<long long>(s.pictureSubtitle)}) {
            Put(text, n);
        }
    }
    return text;
}

bool ParseFactsText(const std::string& text, MediaFacts& facts) {
    CFields in(text);
    MediaFacts read;
    int hasDuration = 0;
    int hasStart = 0;
    std::size_t nMetadata = 0;
    std::size_t nStreams = 0;
    if (!in.Text(read.formatName) || !in.Number(hasDuration) || !in.Number(read.durationUs) ||
        !in.Number(hasStart) || !in.Number(read.startUs) || !in.Number(read.bitRate) ||
        !in.Number(nMetadata)) {
        return false;
    }
    read.hasDuration = hasDuration != 0;
    read.hasStart = hasStart != 0;
    for (std::size_t i = 0; i < nMetadata; ++i) {
        std::string key;
        std::string value;
        if (!in.Text(key) || !in.Text(value)) {
            return false;
        }
        read.metadata.emplace_back(std::move(key), std::move(value));
    }
    if (!in.Number(nStreams)) {
        return false;
    }
    for (std::size_t i = 0; i < nStreams; ++i) {
        StreamFacts s;
        int kind = 0;
        int attached = 0;
        int isDefault = 0;
        int interlaced = 0;
        int mirrored = 0;
        int fullRange = 0;
        int textSubtitle = 0;
        int pictureSubtitle = 0;
        if (!in.Number(s.index) || !in.Number(kind) || !in.Text(s.language) ||
            !in.Text(s.description) || !in.Number(s.width) || !in.Number(s.height) ||
            !in.Number(attached) || !in.Number(isDefault) || !in.Number(interlaced) ||
            !in.Number(s.sarNum) || !in.Number(s.sarDen) || !in.Real(s.frameRate) ||
            !in.Number(s.rateNum) || !in.Number(s.rateDen) || !in.Number(s.frames) ||
            !in.Number(s.channels) || !in.Number(s.sampleRate) || !in.Number(s.displayTurn) ||
            !in.Number(mirrored) || !in.Text(s.primaries) || !in.Text(s.transfer) ||
            !in.Text(s.matrix) || !in.Number(fullRange) || !in.Number(s.bitDepth) ||
            !in.Number(textSubtitle) || !in.Number(pictureSubtitle) ||
            kind < static_cast<int>(StreamKind::Video) ||
            kind > static_cast<int>(StreamKind::Unknown)) {
            return false;
        }
        s.kind = static_cast<StreamKind>(kind);
        s.attachedPicture = attached != 0;
        s.isDefault = isDefault != 0;
        s.interlaced = interlaced != 0;
        s.displayMirrored = mirrored != 0;
        s.fullRange = fullRange != 0;
        s.textSubtitle = textSubtitle != 0;
        s.pictureSubtitle = pictureSubtitle != 0;
        read.streams.push_back(std::move(s));
    }
    if (!in.AtEnd()) {
        return false;
    }
    facts = std::move(read);
    return true;
}

bool ReadInputFacts(const std::string& path, MediaFacts& facts, std::string& reason) {
    struct stat info {};
    const std::string folder = CacheFolder();
    if (folder.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return ReadMediaFacts(path, facts, reason);
    }
    const std::string file = CacheFile(folder, path);
    std::string header;
    Put(header, kMagic);
    header += FileKey(path, info);

    struct stat kept {};
    if (stat(file.c_str(), &kept) == 0 && kept.st_uid == getuid() &&
        std::time(nullptr) - kept.st_mtim.tv_sec < kKeepSeconds) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string whole = text.str();
        if (whole.compare(0, header.size(), header) == 0 &&
            ParseFactsText(whole.substr(header.size()), facts)) {
            return true;
        }
    }
    if (!ReadMediaFacts(path, facts, reason)) {
        return false;
    }
    Keep(folder, file, header + FactsText(facts));
    return true;
}

} // namespace kestrelvx
