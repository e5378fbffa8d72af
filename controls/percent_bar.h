#pragma once
// A progress bar that paints itself: the filled part and the empty part in two colours, and the
// percentage centred over both, drawn in the opposite colour on each part so that it stays
// readable where the bar passes under it. Frames are composed off screen, the background is never
// erased separately, and the bar repaints only when its filled width changes by a whole pixel.
//
// The range and position live only in this class; QProgressBar's own value and range are not
// used. The window text (setWindowTitle) replaces the percentage while it is not empty.
#include <QColor>
#include <QProgressBar>
#include <QString>

class CPercentBar : public QProgressBar {
    Q_OBJECT

public:
    explicit CPercentBar(QWidget* parent = nullptr);

    // Stores both ends of the range; no repaint.
    void SetRange(int nLower, int nUpper);
    // Stores the position and returns the previous one; repaints at once when the filled width in
    // pixels changes.
    int SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    int GetLower() const { return m_nLower; }
    int GetUpper() const { return m_nUpper; }

    // The window text: replaces the percentage while it is not empty.
    void SetWindowText(const QString& strText) { setWindowTitle(strText); }
    QString GetWindowText() const { return m_strText; }

    // Whether any text is drawn (on by default).
    void SetShowText(bool bShow);

    // Filled width in pixels at the last repaint caused by SetPos; -1 before the first one and
    // after a resize.
    int BarWidth() const { return m_nBarWidth; }

    QColor BarColor() const { return m_crBar; }
    QColor BkColor() const { return m_crBk; }
    QColor TextOnBarColor() const { return m_crTextOnBar; }
    QColor TextOnBkColor() const { return m_crTextOnBk; }

    // The text drawn for the current state (the window text, or the percentage).
    QString DisplayText() const;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Position as a fraction of the range; nullopt-like false when the range is empty or reversed.
    bool Fraction(double& dFraction) const;
    void Draw(QPainter& painter) const;

    int m_nPos = 0;
    int m_nUpper = 100;
    int m_nLower = 0;
    QString m_strText;
    bool m_bShowText = true;
    int m_nBarWidth = -1;
    QColor m_crBar;
    QColor m_crBk;
    QColor m_crTextOnBk;
    QColor m_crTextOnBar;
};
