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

QString QtFilterFromPairs(const QString& strPairs) {
    const QStringList parts = strPairs.split(QLatin1Char('|'));
    static const QRegularExpression kSeparators(QStringLiteral("[;\\s]+"));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString strLabel = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(kSeparators, Qt::SkipEmptyParts);
        // "*.*" means every file there; here it would miss names without a dot.
        patterns.replaceInStrings(QRegularExpression(QStringLiteral("^\\*\\.\\*$")),
                                  QStringLiteral("*"));
        if (strLabel.isEmpty() || patterns.isEmpty()) {
            continue;
        }
        // Qt takes the patterns from the last parenthesised group of an entry, so they follow
        // the label, which stays as it is written.
        entries.append(strLabel + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

QString AddFilesFilter() {
    return QtFilterFromPairs(AddFilesFilterPairs());
}
