#pragma once
// The file types offered by the Add command's open-file dialog.
#include <QString>

// The entries as label|patterns pairs, each list of patterns separated by "; ", in the order the
// dialog offers them ("All Media Files" first).
QString AddFilesFilterPairs();

// A "label|patterns|label|patterns|" filter in Qt's form: one "label (p1 p2 ...)" entry per pair,
// joined with ";;", entries and order kept. Patterns are split at ";" and blanks; empty ones are
// dropped, and "*.*" becomes "*" (every file). A label without patterns is dropped.
QString QtFilterFromPairs(const QString& strPairs);

// The Add command's filter in Qt's form.
QString AddFilesFilter();
