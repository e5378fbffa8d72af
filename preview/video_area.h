#pragma once
// The preview's video area: a black rectangle that shows the graph's newest decoded frame, scaled
// to fit and centred. The graph hands over each new frame on its streaming thread; the area then
// asks for one repaint on the user-interface thread, so frames the painter could not keep up with
// are skipped rather than queued.
#include <QWidget>

#include <cstdint>
#include <memory>

#include "media/media_interfaces.h"

class CVideoArea : public QWidget {
    Q_OBJECT

public:
    explicit CVideoArea(QWidget* parent = nullptr);
    ~CVideoArea() override;
    CVideoArea(const CVideoArea&) = delete;
    CVideoArea& operator=(const CVideoArea&) = delete;

    // Shows the frames of `pWindow` from now on; nullptr leaves the area black. The area stops
    // listening to the window it showed before.
    void SetSource(std::shared_ptr<media::IVideoWindow> pWindow);
    bool HasSource() const { return m_pSource != nullptr; }

    // Frames painted so far (each decoded frame counted once, however often it was repainted).
    std::int64_t PaintedFrames() const { return m_nPaintedFrames; }
    // The stream time of the frame painted last (-1 before the first one).
    media::RefTime PaintedFrameTime() const { return m_pLastPainted ? m_pLastPainted->time : -1; }
    // Where the last frame went, in the area's coordinates (empty before the first one).
    QRect FrameRect() const { return m_frameRect; }

signals:
    // A frame not painted before has just been painted.
    void framePainted();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    struct Relay; // what the streaming thread reaches the area through

    std::shared_ptr<media::IVideoWindow> m_pSource;
    std::shared_ptr<Relay> m_pRelay;
    std::shared_ptr<const media::VideoFrame> m_pLastPainted;
    std::int64_t m_nPaintedFrames = 0;
    QRect m_frameRect;
};

// The rectangle a picture of width x height takes in `area` when scaled to fit, keeping its
// shape, and centred; empty for an empty picture.
QRect FitAndCentre(int nWidth, int nHeight, const QRect& area);
