// The percent bar: what it paints, when it repaints, the window text and odd ranges.
#include "controls/percent_bar.h"

#include "common/testkit.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QtTest>

#include <climits>
#include <cstdlib>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int m_nPaints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++m_nPaints;
        }
        return QObject::eventFilter(watched, e);
    }
};

bool Near(QColor a, QColor b, int nTolerance) {
    return std::abs(a.red() - b.red()) <= nTolerance &&
           std::abs(a.green() - b.green()) <= nTolerance &&
           std::abs(a.blue() - b.blue()) <= nTolerance;
}

// Number of pixels in the columns [x0, x1] (all rows) that are near the colour.
int CountNear(const QImage& image, int x0, int x1, QColor color, int nTolerance) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (Near(image.pixelColor(x, y), color, nTolerance)) {
                ++n;
            }
        }
    }
    return n;
}

QImage Render(CPercentBar& bar) {
    QImage image(bar.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    bar.render(&image);
    return image;
}

} // namespace

class PercentBarTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Distinct system colours, so every pixel tells which part or text it belongs to.
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
        palette.setColor(QPalette::Base, QColor(255, 255, 255));
        QApplication::setPalette(palette);
    }

    void coloursComeFromTheSystem() {
        CPercentBar bar;
        QCOMPARE(bar.BarColor(), QColor(0, 0, 255));
        QCOMPARE(bar.BkColor(), QColor(255, 255, 255));
        QCOMPARE(bar.TextOnBarColor(), QColor(255, 255, 255));
        QCOMPARE(bar.TextOnBkColor(), QColor(0, 0, 255));
    }

    void paintsFilledPartEmptyPartAndPercentage() {
        CPercentBar bar;
        bar.resize(200, 24);
        bar.SetRange(0, 100);
        bar.SetPos(37);
        QCOMPARE(bar.DisplayText(), QStringLiteral("37%"));
        QImage image = Render(bar);
        // Row 0 holds no text: 74 pixels (37 %) of bar colour, the rest window colour.
        for (int x = 0; x < 200; ++x) {
            const QColor expected = x < 74 ? bar.BarColor() : bar.BkColor();
            QCOMPARE(image.pixelColor(x, 0), expected);
        }

        // At 50 % the centred text straddles the edge: its left half is drawn in the window
        // colour over the bar, its right half in the highlight colour over the empty part.
        bar.SetPos(50);
        image = Render(bar);
        QCOMPARE(image.pixelColor(0, 0), bar.BarColor());
        QCOMPARE(image.pixelColor(199, 0), bar.BkColor());
        QVERIFY(CountNear(image, 80, 99, bar.TextOnBarColor(), 40) > 0);
        QVERIFY(CountNear(image, 100, 120, bar.TextOnBkColor(), 40) > 0);
        // Far from the centre there is no text: the parts are plain.
        QCOMPARE(CountNear(image, 0, 40, bar.BarColor(), 0), 40 * 24 + 24);
        QCOMPARE(CountNear(image, 160, 199, bar.BkColor(), 0), 40 * 24);

        // Without text the middle is plain too.
        bar.SetShowText(false);
        image = Render(bar);
        QCOMPARE(CountNear(image, 0, 99, bar.BarColor(), 0), 100 * 24);
        QCOMPARE(CountNear(image, 100, 199, bar.BkColor(), 0), 100 * 24);
    }

    void windowTextReplacesThePercentage() {
        CPercentBar bar;
        bar.resize(200, 24);
        bar.SetPos(50);
        bar.SetWindowText(QStringLiteral("Wait"));
        QCOMPARE(bar.GetWindowText(), QStringLiteral("Wait"));
        QCOMPARE(bar.windowTitle(), QStringLiteral("Wait"));
        QCOMPARE(bar.DisplayText(), QStringLiteral("Wait"));
        const QImage withText = Render(bar);
        bar.SetWindowText(QString());
        QCOMPARE(bar.GetWindowText(), QString());
        QCOMPARE(bar.DisplayText(), QStringLiteral("50%"));
        QVERIFY(Render(bar) != withText);
    }

    void positionsOutsideTheRangeAreNotHeld() {
        CPercentBar bar;
        bar.resize(100, 20);
        bar.SetPos(-33);
        QCOMPARE(bar.DisplayText(), QStringLiteral("-33%"));
        QCOMPARE(bar.BarWidth(), -33);
        const QImage image = Render(bar);
        QCOMPARE(image.pixelColor(0, 0), bar.BkColor());
        QCOMPARE(image.pixelColor(99, 0), bar.BkColor());

        QCOMPARE(bar.SetPos(150), -33);
        QCOMPARE(bar.DisplayText(), QStringLiteral("150%"));
        QCOMPARE(Render(bar).pixelColor(99, 0), bar.BarColor());
    }

    void repaintsOnlyWhenTheFilledWidthChanges() {
        CPercentBar bar;
        bar.resize(50, 20);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar, testkit::kPatientMs));
        QCoreApplication::processEvents();
        PaintCounter counter;
        bar.installEventFilter(&counter);

        QCOMPARE(bar.SetPos(36), 0);
        QCOMPARE(bar.BarWidth(), 18);
        QCOMPARE(counter.m_nPaints, 1);
        // 37 % of 50 pixels is 18.5: the same 18 pixels, no repaint, ten times over.
        for (int i = 0; i < 10; ++i) {
            bar.SetPos(37);
        }
        QCOMPARE(bar.BarWidth(), 18);
        QCOMPARE(counter.m_nPaints, 1);
        QCOMPARE(bar.SetPos(40), 37);
        QCOMPARE(bar.BarWidth(), 20);
        QCOMPARE(counter.m_nPaints, 2);

        // After a resize the next SetPos repaints even at the same position.
        bar.resize(60, 20);
        QCOMPARE(bar.BarWidth(), -1);
        QCoreApplication::processEvents();
        const int nBefore = counter.m_nPaints;
        bar.SetPos(40);
        QCOMPARE(bar.BarWidth(), 24);
        QCOMPARE(counter.m_nPaints, nBefore + 1);
    }

    void emptyOrReversedRangeNeverTraps() {
        CPercentBar bar;
        bar.resize(100, 20);
        bar.SetRange(5, 5);
        QCOMPARE(bar.SetPos(5), 0);
        QCOMPARE(bar.BarWidth(), 0);
        QCOMPARE(bar.DisplayText(), QString());
        bar.SetPos(INT_MAX);
        bar.SetRange(10, -10);
        bar.SetPos(INT_MIN);
        QCOMPARE(bar.GetPos(), INT_MIN);
        QCOMPARE(bar.BarWidth(), 0);
        (void)Render(bar); // draws nothing, must not trap

        // Huge positions in a tiny range stay finite.
        bar.SetRange(0, 1);
        bar.SetPos(INT_MAX);
        QVERIFY(bar.BarWidth() > 0);
        QVERIFY(!bar.DisplayText().isEmpty());
        (void)Render(bar);
    }
};

QTEST_MAIN(PercentBarTest)
#include "percent_bar_test.moc"
