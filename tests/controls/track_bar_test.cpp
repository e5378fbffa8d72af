// The trackbar: changes made from code are silent while the user's are reported after the thumb
// moved, line and page sizes, and the selection drawn as a band with a mark at each end.
#include "controls/track_bar.h"
#include "lang/resource_set.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {

// Whether a pixel is (close to) the highlight colour the band is drawn in.
bool IsBand(const QImage& image, int x, int y, const QColor& band) {
    const QColor pixel = image.pixelColor(x, y);
    return std::abs(pixel.red() - band.red()) < 24 && std::abs(pixel.green() - band.green()) < 24 &&
           std::abs(pixel.blue() - band.blue()) < 24;
}

int BandRow(const CTrackBar& bar) {
    return bar.ChannelRect().center().y();
}

} // namespace

class TrackBarTest : public QObject {
    Q_OBJECT
private slots:
    void codeIsSilentAndTheUserIsReported();
    void selectionIsDrawnOnlyWithASelectionRange();
    void factoryMakesTrackbarsFromTheTemplateStyle();
};

void TrackBarTest::codeIsSilentAndTheUserIsReported() {
    CTrackBar bar(nullptr, true);
    QCOMPARE(bar.GetRangeMax(), 100);
    QSignalSpy spy(&bar, &CTrackBar::scrolled);
    bar.SetRange(0, 95);
    bar.SetPos(200);
    QCOMPARE(bar.GetPos(), 95); // clamped, silently
    bar.SetRange(0, 10);
    QCOMPARE(bar.GetPos(), 10);
    bar.SetPos(0);
    QCOMPARE(spy.count(), 0);

    bar.SetLineSize(5);
    bar.SetPageSize(20);
    bar.SetRange(0, 95);
    bar.show();
    int nSeen = -1;
    connect(&bar, &CTrackBar::scrolled, this, [&] { nSeen = bar.GetPos(); });
    QTest::keyClick(&bar, Qt::Key_Right);
    QCOMPARE(nSeen, 5); // reported after the move
    QTest::keyClick(&bar, Qt::Key_PageUp);
    QCOMPARE(nSeen, 25);
    bar.setValue(40); // as a drag sets it
    QCOMPARE(nSeen, 40);
    QCOMPARE(spy.count(), 3);

    // The selection is kept as given; the caller orders it.
    bar.SetSelection(60, 20);
    int nStart = 0;
    int nEnd = 0;
    bar.GetSelection(nStart, nEnd);
    QCOMPARE(nStart, 60);
    QCOMPARE(nEnd, 20);
}

void TrackBarTest::selectionIsDrawnOnlyWithASelectionRange() {
    CTrackBar withSel(nullptr, true);
    CTrackBar plain(nullptr, false);
    for (CTrackBar* bar : {&withSel, &plain}) {
        bar->resize(400, 34);
        bar->setTickPosition(QSlider::TicksBelow);
        bar->SetRange(0, 100);
        bar->SetPos(90); // the thumb away from the band
        bar->SetSelection(20, 60);
    }
    const QColor band = withSel.palette().color(QPalette::Active, QPalette::Highlight);
    const QImage shot = withSel.grab().toImage();
    const int y = BandRow(withSel);
    const int nIn = withSel.ValueToX(40);
    QVERIFY(IsBand(shot, nIn, y, band));
    QVERIFY(!IsBand(shot, withSel.ValueToX(10), y, band)); // before the thumb, too
    QVERIFY(!IsBand(shot, withSel.ValueToX(70), y, band));
    QVERIFY(withSel.ValueToX(20) < withSel.ValueToX(60));

    // The marks: dark pixels just below the channel at each end, none in between.
    const auto darkBelow = [&](int x) {
        for (int dy = 0; dy < 12; ++dy) {
            if (y + dy < shot.height() && qGray(shot.pixel(x, y + dy)) < 90 &&
                !IsBand(shot, x, y + dy, band)) {
                return true;
            }
        }
        return false;
    };
    QVERIFY(darkBelow(withSel.ValueToX(20)));
    QVERIFY(darkBelow(withSel.ValueToX(60)));
    QVERIFY(!darkBelow(withSel.ValueToX(40)));

    const QImage plainShot = plain.grab().toImage();
    QVERIFY(!IsBand(plainShot, nIn, y, band));
    // Both draw their channel and thumb: the thumb's place differs from the empty channel.
    for (const QImage& image : {shot, plainShot}) {
        QVERIFY(image.pixel(withSel.ValueToX(90), y) != image.pixel(withSel.ValueToX(80), y));
    }
}

void TrackBarTest::factoryMakesTrackbarsFromTheTemplateStyle() {
    QWidget parent;
    lang::DialogControl control;
    control.kind = lang::ControlKind::Trackbar;
    control.style = lang::kStyleAutoTicks | lang::kStyleSelRange;
    auto* bar = qobject_cast<CTrackBar*>(CreateTrackBarControl(control, &parent));
    QVERIFY(bar != nullptr);
    QVERIFY(bar->HasSelRange());
    QCOMPARE(bar->tickPosition(), QSlider::TicksBelow);
    control.style = lang::kStyleAutoTicks;
    bar = qobject_cast<CTrackBar*>(CreateTrackBarControl(control, &parent));
    QVERIFY(bar != nullptr && !bar->HasSelRange());
    control.kind = lang::ControlKind::Button;
    QVERIFY(CreateTrackBarControl(control, &parent) == nullptr);
}

QTEST_MAIN(TrackBarTest)
#include "track_bar_test.moc"
