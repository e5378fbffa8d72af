#include "preview/video_area.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <atomic>
#include <mutex>
#include <utility>

// The streaming thread holds the relay, never the area: the area detaches itself under the lock
// before it changes source or goes away, so a frame that arrives late finds no one to tell.
struct CVideoArea::Relay {
    std::mutex mutex;
    CVideoArea* pArea = nullptr;
    std::atomic<bool> bPending{false};

    // On the streaming thread. The repaint request holds the relay too, so it never outlives it.
    static void FrameArrived(const std::shared_ptr<Relay>& pRelay) {
        std::lock_guard<std::mutex> lock(pRelay->mutex);
        if (pRelay->pArea == nullptr || pRelay->bPending.exchange(true)) {
            return; // a repaint is already on its way; it will show the newest frame
        }
        CVideoArea* pTarget = pRelay->pArea;
        QMetaObject::invokeMethod(
            pTarget,
            [pRelay, pTarget] {
                pRelay->bPending = false;
                pTarget->update();
            },
            Qt::QueuedConnection);
    }

    void Detach() {
        std::lock_guard<std::mutex> lock(mutex);
        pArea = nullptr;
    }
};

QRect FitAndCentre(int nWidth, int nHeight, const QRect& area) {
    if (nWidth <= 0 || nHeight <= 0 || area.isEmpty()) {
        return QRect();
    }
    const QSize fitted = QSize(nWidth, nHeight).scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - fitted.width()) / 2,
                 area.y() + (area.height() - fitted.height()) / 2, fitted.width(), fitted.height());
}

CVideoArea::CVideoArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAutoFillBackground(false);
}

CVideoArea::~CVideoArea() {
    SetSource(nullptr);
}

void CVideoArea::SetSource(std::shared_ptr<media::IVideoWindow> pWindow) {
    if (m_pRelay) {
        m_pRelay->Detach();
        m_pRelay.reset();
    }
    if (m_pSource) {
        m_pSource->SetFrameCallback({});
    }
    m_pSource = std::move(pWindow);
    m_pLastPainted.reset();
    m_frameRect = QRect();
    if (m_pSource) {
        m_pRelay = std::make_shared<Relay>();
        m_pRelay->pArea = this;
        std::shared_ptr<Relay> pRelay = m_pRelay;
        m_pSource->SetFrameCallback([pRelay] { Relay::FrameArrived(pRelay); });
    }
    update();
}

void CVideoArea::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    std::shared_ptr<const media::VideoFrame> pFrame =
        m_pSource ? m_pSource->LatestFrame() : nullptr;
    const bool bUsable = pFrame && pFrame->width > 0 && pFrame->height > 0 &&
                         pFrame->stride >= pFrame->width * 4 &&
                         pFrame->pixels.size() >= static_cast<std::size_t>(pFrame->stride) *
                                                      static_cast<std::size_t>(pFrame->height);
    if (!bUsable) {
        painter.fillRect(e->rect(), Qt::black);
        return;
    }
    const QRect target = FitAndCentre(pFrame->width, pFrame->height, rect());
    // Black only where the picture does not cover the area.
    const QRegion bars = QRegion(e->rect()).subtracted(QRegion(target));
    for (const QRect& bar : bars) {
        painter.fillRect(bar, Qt::black);
    }
    // BGRx in memory is a 0xffRRGGBB word on this byte order: Qt's RGB32 without a copy.
    const QImage image(pFrame->pixels.data(), pFrame->width, pFrame->height, pFrame->stride,
                       QImage::Format_RGB32);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, image);
    m_frameRect = target;
    if (pFrame != m_pLastPainted) {
        m_pLastPainted = pFrame;
        ++m_nPaintedFrames;
        emit framePainted();
    }
}
