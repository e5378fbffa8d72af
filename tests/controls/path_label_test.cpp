// The path label: lines that fit stay as they are; a long line loses the middle of its quoted path
// (straight or typographic quotes) and keeps the words around it and both ends of the path; the
// tool tip holds the full text only while something is shortened; a resize shows more again.
#include "controls/path_label.h"

#include <QFontMetrics>
#include <QTest>

namespace {

const QString kPath = QStringLiteral(
    "/home/someone/Videos/Holidays 2024/Summer at the lake with the whole family/clip.avi");

} // namespace

class PathLabelTest : public QObject {
    Q_OBJECT

private slots:
    void shortLinesStayWhole();
    void quotedPathLosesItsMiddle();
    void resizeShowsMoreAndDropsTheToolTip();
};

void PathLabelTest::shortLinesStayWhole() {
    CPathLabel label;
    label.resize(400, 60);
    label.SetFullText(QStringLiteral("Detecting selected files.\nNo.1/2: \"/a/b.avi\""));
    QCOMPARE(label.text(), label.FullText());
    QVERIFY(label.toolTip().isEmpty());
}

void PathLabelTest::quotedPathLosesItsMiddle() {
    CPathLabel label;
    const QFontMetrics metrics(label.font());
    const int nWidth = metrics.horizontalAdvance(QStringLiteral("No.1/2: \"")) +
                       metrics.horizontalAdvance(kPath) / 2;
    for (const auto& [open, close] :
         {std::pair{QStringLiteral("\""), QStringLiteral("\"")},
          std::pair{QStringLiteral("\u201E"), QStringLiteral("\u201C")},
          std::pair{QStringLiteral("\u201C"), QStringLiteral("\u201D")}}) {
        const QString line =
            QStringLiteral("No.1/2: ") + open + kPath + close + QStringLiteral(" ok");
        const QString shown = CPathLabel::ElideLine(line, metrics, nWidth);
        QVERIFY2(metrics.horizontalAdvance(shown) <= nWidth, qPrintable(shown));
        QVERIFY2(shown.startsWith(QStringLiteral("No.1/2: ") + open + QStringLiteral("/home")),
                 qPrintable(shown));
        QVERIFY2(shown.endsWith(QStringLiteral("clip.avi") + close + QStringLiteral(" ok")),
                 qPrintable(shown));
        QVERIFY(shown.contains(QChar(0x2026)));
    }
    // With no room for the words around it, the whole line is shortened in its middle.
    const QString tight =
        CPathLabel::ElideLine(QStringLiteral("Step: \"") + kPath + QLatin1Char('"'), metrics,
                              6 * metrics.averageCharWidth());
    QVERIFY(tight.contains(QChar(0x2026)));
    QVERIFY(metrics.horizontalAdvance(tight) <= 6 * metrics.averageCharWidth());
}

void PathLabelTest::resizeShowsMoreAndDropsTheToolTip() {
    CPathLabel label;
    label.resize(150, 40);
    label.show(); // a hidden widget gets its resize events only when it shows
    const QString full = QStringLiteral("From \"") + kPath + QStringLiteral("\"\nto \"/out/\"");
    label.SetFullText(full);
    QVERIFY(label.text() != full);
    QCOMPARE(label.text().split(QLatin1Char('\n')).size(), 2);
    QCOMPARE(label.toolTip(), full);
    label.resize(2000, 40);
    QCOMPARE(label.text(), full);
    QVERIFY(label.toolTip().isEmpty());
}

QTEST_MAIN(PathLabelTest)
#include "path_label_test.moc"
