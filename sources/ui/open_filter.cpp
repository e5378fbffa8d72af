#include "sources/ui/open_filter.h"

#include <QRegularExpression>
#include <QStringList>

QString AddFilesFilterPairs() {
    // The "Video Files" patterns hold "*.mp4" and "*.3gp", as its label promises.
    return QStringLiteral(
        "All Media Files|*.3gp; *.acp; *.aif; *.aifc; *.aiff; *.au; *.asf; *.avi; *.dat; *.m1v; "
        "*.m4a; *.m4p; *.m4v; *.mov; *.mp1; *.mp2; *.mp3; *.mp4; *.mpa; *.mpe; *.mpeg; *.mpg; "
        "*.mpga; *.mov; *.oga; *.ogg; *.ogm; *.ogv; *.qt; *.ra; *.ram; *.rm; *.rmm; *.rmvb; "
        "*.rmj; *.rms; *.rp; *.rt; *.rv; *.snd; *.vcd; *.vob; *.wav; *.wm; *.wma; *.wmd; *.wmv"
        "|Video Files (*.3gp; *.asf; *.avi; *.dat; *.m1v; *.m4p; *.m4v; *.mov; .mp4; *.mpe; "
        "*.mpeg; *.mpg; *.mov; *.ogg; *.ogm; *.ogv; *.qt; *.ram; *.rm; *.rmm; *.rmvb; *.rmj; "
        "*.rms; *.rp; *.rt; *.rv; *.vcd; *.vob; *.wm; *.wmd; *.wmv)"
        "|*.3gp; *.asf; *.avi; *.dat; *.m1v; *.m4p; *.m4v; *.mov; *.mp4; *.mpe; *.mpeg; *.mpg; "
        "*.mov; *.ogg; *.ogm; *.ogv; *.qt; *.ram; *.rm; *.rmm; *.rmvb; *.rmj; *.rms; *.rp; *.rt; "
        "*.rv; *.vcd; *.vob; *.wm; *.wmd; *.wmv"
        "|Windows Media Files (*.aifc; *.aiff; *.au; *.asf; *.avi; *.mp3; *.wav; *.wm; *.wma; "
        "*.wmd; *.wmv)|*.aifc; *.aiff; *.au; *.asf; *.avi; *.mp3; *.wav; *.wm; *.wma; *.wmd; *.wmv"
        "|QuickTime Media Files (*.3gp; *.mp4; *.mov; *.qt)|*.3gp; *.mp4; *.mov; *.qt"
        "|Real Media Files (*.ra; *.ram; *.rm; *.rmm; *.rmvb; *.rmj; *.rms; *.rp; *.rt; *.rv)"
        "|*.ra; *.ram; *.rm; *.rmm; *.rmvb; *.rmj; *.rms; *.rp; *.rt; *.rv"
        "|OGG Files (*.oga; *.ogg; *.ogm; *.ogv)|*.oga; *.ogg; *.ogm; *.ogv"
        "|All Files (*.*)|*.*|");
}

namespace {

// Containers the encoder's FFmpeg demuxers read. The system's own lists name the Windows-era
// types; these are the ones a user of today brings, reviewed against FFmpeg's demuxers.
constexpr MediaExtension kEncoderExtensions[] = {
    // video containers
    {"3g2", true},
    {"3gp", true},
    {"asf", true},
    {"avi", true},
    {"divx", true},
    {"dv", true},
    {"f4v", true},
    {"flv", true},
    {"m2t", true},
    {"m2ts", true},
    {"m2v", true},
    {"m4v", true},
    {"mkv", true},
    {"mov", true},
    {"mp4", true},
    {"mpeg", true},
    {"mpg", true},
    {"mts", true},
    {"mxf", true},
    {"nut", true},
    {"ogv", true},
    {"ts", true},
    {"vob", true},
    {"webm", true},
    {"wmv", true},
    // audio containers
    {"aac", false},
    {"ac3", false},
    {"aif", false},
    {"aiff", false},
    {"amr", false},
    {"ape", false},
    {"au", false},
    {"caf", false},
    {"dts", false},
    {"eac3", false},
    {"flac", false},
    {"m4a", false},
    {"mka", false},
    {"mp2", false},
    {"mp3", false},
    {"oga", false},
    {"ogg", false},
    {"opus", false},
    {"spx", false},
    {"wav", false},
    {"wma", false},
    {"wv", false},
};

const QString kAllMediaFiles = QStringLiteral("All Media Files");
const QString kVideoFiles = QStringLiteral("Video Files");

void AddPattern(FilterEntry& entry, const QString& strPattern) {
    if (!entry.patterns.contains(strPattern, Qt::CaseInsensitive)) {
        entry.patterns.append(strPattern);
    }
}

FilterEntry* FindEntry(QList<FilterEntry>& entries, const QString& strName) {
    for (FilterEntry& entry : entries) {
        if (entry.name == strName) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

QList<FilterEntry> FilterEntriesFromPairs(const QString& strPairs) {
    const QStringList parts = strPairs.split(QLatin1Char('|'));
    static const QRegularExpression kSeparators(QStringLiteral("[;\\s]+"));
    static const QRegularExpression kEveryFile(QStringLiteral("^\\*\\.\\*$"));
    // A label's own list of patterns: "(...)" at its end holding no further parenthesis.
    static const QRegularExpression kLabelPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QList<FilterEntry> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        FilterEntry entry;
        entry.name = parts[i];
        entry.name.remove(kLabelPatterns);
        entry.name = entry.name.trimmed();
        QStringList patterns = parts[i + 1].split(kSeparators, Qt::SkipEmptyParts);
        // "*.*" means every file there; here it would miss names without a dot.
        patterns.replaceInStrings(kEveryFile, QStringLiteral("*"));
        for (const QString& strPattern : patterns) {
            AddPattern(entry, strPattern);
        }
        if (entry.name.isEmpty() || entry.patterns.isEmpty()) {
            continue;
        }
        entries.append(entry);
    }
    return entries;
}

QString QtFilter(const QList<FilterEntry>& entries) {
    QStringList texts;
    for (const FilterEntry& entry : entries) {
        texts.append(entry.name + QStringLiteral(" (") + entry.patterns.join(QLatin1Char(' ')) +
                     QLatin1Char(')'));
    }
    return texts.join(QStringLiteral(";;"));
}

QString QtFilterFromPairs(const QString& strPairs) {
    return QtFilter(FilterEntriesFromPairs(strPairs));
}

std::span<const MediaExtension> EncoderExtensions() {
    return kEncoderExtensions;
}

QList<FilterEntry> AddFilesFilterEntries() {
    QList<FilterEntry> entries = FilterEntriesFromPairs(AddFilesFilterPairs());
    FilterEntry* pAll = FindEntry(entries, kAllMediaFiles);
    FilterEntry* pVideo = FindEntry(entries, kVideoFiles);
    for (const MediaExtension& extension : kEncoderExtensions) {
        const QString strPattern = QStringLiteral("*.") + QLatin1String(extension.name);
        if (pAll != nullptr) {
            AddPattern(*pAll, strPattern);
        }
        if (pVideo != nullptr && extension.video) {
            AddPattern(*pVideo, strPattern);
        }
    }
    return entries;
}

QString AddFilesFilter() {
    return QtFilter(AddFilesFilterEntries());
}
