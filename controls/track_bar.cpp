#include "controls/track_bar.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionSlider>
#include <QStylePainter>

#include <algorithm>

namespace {

// Runs a change made from code with the trackbar's reports off.
class QuietChange {
public:
    explicit QuietChange(bool& bQuiet) : m_bQuiet(bQuiet), m_bOld(bQuiet) { m_bQuiet = true; }
    ~QuietChange() { m_bQuiet = m_bOld; }
    QuietChange(const QuietChange&) = delete;
    QuietChange& operator=(const QuietChange&) = delete;

private:
    bool& m_bQuiet;
    bool m_bOld;
};

constexpr int kBandHalfHeight = 3; // the selection band is 7 pixels high
constexpr int kMarkSize = 4;       // the end marks: triangles 4 pixels high, 8 wide

} // namespace

CTrackBar::CTrackBar(QWidget* parent, bool bSelRange)
    : QSlider(Qt::Horizontal, parent), m_bSelRange(bSelRange) {
    {
        const QuietChange quiet(m_bQuiet);
        setRange(0, 100);
        setValue(0);
    }
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QSlider::valueChanged, this, [this](int) {
        if (!m_bQuiet) {
            emit scrolled();
        }
    });
    connect(this, &QSlider::sliderReleased, this, [this] { emit scrolled(); });
}

void CTrackBar::SetRange(int nMin, int nMax, bool bRedraw) {
    const QuietChange quiet(m_bQuiet);
    setRange(nMin, nMax);
    if (bRedraw) {
        update();
    }
}

void CTrackBar::SetPos(int nPos) {
    const QuietChange quiet(m_bQuiet);
    setValue(nPos);
}

void CTrackBar::SetTicFreq(int nFreq) {
    setTickInterval(nFreq > 0 ? nFreq : 1);
}

void CTrackBar::SetSelection(int nStart, int nEnd, bool bRedraw) {
    m_nSelStart = nStart;
    m_nSelEnd = nEnd;
    if (bRedraw) {
        update();
    }
}

void CTrackBar::GetSelection(int& nStart, int& nEnd) const {
    nStart = m_nSelStart;
    nEnd = m_nSelEnd;
}

int CTrackBar::ValueToX(int nValue) const {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    const int nSpan = std::max(groove.width() - handle.width(), 0);
    const int nClamped = std::clamp(nValue, minimum(), std::max(minimum(), maximum()));
    return groove.x() + handle.width() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), nClamped, nSpan, opt.upsideDown);
}

QRect CTrackBar::ChannelRect() const {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
}

void CTrackBar::paintEvent(QPaintEvent* /*e*/) {
    QStylePainter painter(this);
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    // The channel and the ticks first, then the band over the channel, then the thumb on top. The
    // channel is drawn empty: some styles fill it up to the thumb in the highlight colour, which
    // would read as a selection.
    const QPalette original = opt.palette;
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        opt.palette.setColor(group, QPalette::Highlight, original.color(group, QPalette::Button));
    }
    opt.subControls = QStyle::SC_SliderGroove;
    if (tickPosition() != QSlider::NoTicks) {
        opt.subControls |= QStyle::SC_SliderTickmarks;
    }
    painter.drawComplexControl(QStyle::CC_Slider, opt);

    if (m_bSelRange && maximum() > minimum()) {
        const QRect groove = ChannelRect();
        const int nLeft = ValueToX(std::min(m_nSelStart, m_nSelEnd));
        const int nRight = ValueToX(std::max(m_nSelStart, m_nSelEnd));
        const int nMid = groove.center().y();
        const QColor band = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                            QPalette::Highlight);
        painter.fillRect(
            QRect(QPoint(nLeft, nMid - kBandHalfHeight), QPoint(nRight, nMid + kBandHalfHeight)),
            band);
        // A mark at each end of the selection, pointing at the channel from the tick side.
        painter.setRenderHint(QPainter::Antialiasing, true);
        const int nTop = groove.bottom() + 1;
        for (const int nX : {nLeft, nRight}) {
            QPainterPath mark;
            mark.moveTo(nX, nTop);
            mark.lineTo(nX - kMarkSize, nTop + kMarkSize);
            mark.lineTo(nX + kMarkSize, nTop + kMarkSize);
            mark.closeSubpath();
            painter.fillPath(mark, palette().color(QPalette::WindowText));
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    opt.palette = original;
    opt.subControls = QStyle::SC_SliderHandle;
    painter.drawComplexControl(QStyle::CC_Slider, opt);
}

QWidget* CreateTrackBarControl(const lang::DialogControl& control, QWidget* parent) {
    if (control.kind != lang::ControlKind::Trackbar) {
        return nullptr;
    }
    auto* bar = new CTrackBar(parent, (control.style & lang::kStyleSelRange) != 0);
    if ((control.style & lang::kStyleAutoTicks) != 0) {
        bar->setTickPosition(QSlider::TicksBelow);
        bar->SetTicFreq(1);
    }
    return bar;
}
