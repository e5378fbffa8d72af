#include "controls/percent_bar.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QResizeEvent>

#include <cmath>

namespace {

// Converts a pixel or percent figure to int without trapping: NaN gives 0 and values beyond the
// int range are held at a billion, far outside any window.
int TruncateToInt(double dValue) {
    if (std::isnan(dValue)) {
        return 0;
    }
    constexpr double kLimit = 1e9;
    if (dValue > kLimit) {
        return static_cast<int>(kLimit);
    }
    if (dValue < -kLimit) {
        return -static_cast<int>(kLimit);
    }
    return static_cast<int>(dValue); // truncates toward zero
}

} // namespace

CPercentBar::CPercentBar(QWidget* parent) : QProgressBar(parent) {
    // The colours are taken from the system once, when the bar is made.
    const QPalette palette = QGuiApplication::palette();
    m_crBar = palette.color(QPalette::Active, QPalette::Highlight);
    m_crBk = palette.color(QPalette::Active, QPalette::Base);
    m_crTextOnBk = m_crBar;
    m_crTextOnBar = m_crBk;
    // Every pixel is painted by paintEvent: no background erase before it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setTextVisible(false);
}

void CPercentBar::SetRange(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
}

bool CPercentBar::Fraction(double& dFraction) const {
    if (m_nLower >= m_nUpper) {
        return false;
    }
    dFraction = (static_cast<double>(m_nPos) - static_cast<double>(m_nLower)) /
                (static_cast<double>(m_nUpper) - static_cast<double>(m_nLower));
    return true;
}

int CPercentBar::SetPos(int nPos) {
    const int nOld = m_nPos;
    m_nPos = nPos;
    double dFraction = 0.0;
    // An empty or reversed range has no filled part.
    const int nWidth = Fraction(dFraction) ? TruncateToInt(dFraction * width()) : 0;
    if (nWidth != m_nBarWidth) {
        m_nBarWidth = nWidth;
        repaint();
    }
    return nOld;
}

void CPercentBar::SetShowText(bool bShow) {
    if (bShow != m_bShowText) {
        m_bShowText = bShow;
        update();
    }
}

QString CPercentBar::DisplayText() const {
    if (!m_strText.isEmpty()) {
        return m_strText;
    }
    double dFraction = 0.0;
    if (!Fraction(dFraction)) {
        return QString();
    }
    return QStringLiteral("%1%").arg(TruncateToInt(dFraction * 100.0));
}

bool CPercentBar::event(QEvent* e) {
    if (e->type() == QEvent::WindowTitleChange) {
        // The window text stands in for the percentage; a change repaints the whole bar.
        const QString strText = windowTitle();
        if (strText != m_strText) {
            m_strText = strText;
            update();
        }
        return true;
    }
    return QProgressBar::event(e);
}

void CPercentBar::resizeEvent(QResizeEvent* e) {
    QProgressBar::resizeEvent(e);
    m_nBarWidth = -1; // the next SetPos repaints whatever the position
}

void CPercentBar::paintEvent(QPaintEvent* e) {
    double dFraction = 0.0;
    if (!Fraction(dFraction)) {
        return; // an empty range draws nothing
    }
    QPainter window(this);
    const QPaintEngine* engine = window.paintEngine();
    if (window.device()->devType() == QInternal::Printer ||
        (engine != nullptr && engine->type() == QPaintEngine::Pdf)) {
        Draw(window);
        return;
    }
    // Compose the frame off screen over the paint's clip box, in window coordinates, and copy it
    // to the window in one transfer.
    const QRect clip = e->rect();
    if (clip.isEmpty()) {
        return;
    }
    const qreal dRatio = devicePixelRatioF();
    QPixmap buffer(clip.size() * dRatio);
    buffer.setDevicePixelRatio(dRatio);
    {
        QPainter offscreen(&buffer);
        offscreen.translate(-clip.topLeft());
        offscreen.setFont(font());
        Draw(offscreen);
    }
    window.drawPixmap(clip.topLeft(), buffer);
}

void CPercentBar::Draw(QPainter& painter) const {
    double dFraction = 0.0;
    if (!Fraction(dFraction)) {
        return;
    }
    const QRect client = rect();
    // Positions outside the range are not held to it: the edge may lie left of or beyond the
    // client area, and the parts are cut to it.
    const int nEdge = client.left() + TruncateToInt(client.width() * dFraction);
    const QRect filled =
        QRect(QPoint(client.left(), client.top()), QPoint(nEdge - 1, client.bottom()))
            .intersected(client);
    const QRect empty = QRect(QPoint(nEdge, client.top()), QPoint(client.right(), client.bottom()))
                            .intersected(client);
    if (!filled.isEmpty()) {
        painter.fillRect(filled, m_crBar);
    }
    if (!empty.isEmpty()) {
        painter.fillRect(empty, m_crBk);
    }
    if (!m_bShowText) {
        return;
    }
    const QString strText = DisplayText();
    if (strText.isEmpty()) {
        return;
    }
    constexpr int kFlags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.save();
    if (!filled.isEmpty()) {
        painter.setClipRect(filled);
        painter.setPen(m_crTextOnBar);
        painter.drawText(client, kFlags, strText);
    }
    if (!empty.isEmpty()) {
        painter.setClipRect(empty);
        painter.setPen(m_crTextOnBk);
        painter.drawText(client, kFlags, strText);
    }
    painter.restore();
}
