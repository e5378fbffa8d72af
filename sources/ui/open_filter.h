#pragma once
// The file types offered by the Add command's open-file dialog.
#include <QList>
#include <QString>
#include <QStringList>

#include <span>

// The entries as label|patterns pairs, each list of patterns separated by "; ", in the order the
// dialog offers them ("All Media Files" first).
QString AddFilesFilterPairs();

// One entry of an open-file dialog's type list: the name the user sees and its patterns.
struct FilterEntry {
    QString name;
    QStringList patterns;
};

// The entries of a "label|patterns|label|patterns|" text, entries and order kept. Patterns are
// split at ";" and blanks; empty and repeated ones are dropped, and "*.*" becomes "*" (every
// file). A label without patterns is dropped. A label that ends in its own parenthesised pattern
// list ("Video Files (*.avi; *.mov)") loses it: the name is shown once, the patterns once.
QList<FilterEntry> FilterEntriesFromPairs(const QString& strPairs);

// The entries in Qt's form: "name (p1 p2 ...)" joined with ";;".
QString QtFilter(const QList<FilterEntry>& entries);

// FilterEntriesFromPairs in Qt's form.
QString QtFilterFromPairs(const QString& strPairs);

// A file name extension (lower case, no dot) of a container the encoder reads, and whether the
// container carries video.
struct MediaExtension {
    const char* name;
    bool video;
};

// Every container the encoder's demuxers read that the Add dialog must offer: the fixed, reviewed
// list of common video and audio containers.
std::span<const MediaExtension> EncoderExtensions();

// The Add command's entries: the system's list, with every extension the encoder reads added to
// "All Media Files" and every video one to "Video Files".
QList<FilterEntry> AddFilesFilterEntries();

// The Add command's filter in Qt's form.
QString AddFilesFilter();
