#pragma once
// A horizontal trackbar as the dialogs know it: a range, a position, tick marks every n steps, a
// line size (arrow keys) and a page size (clicks in the channel, Page Up and Page Down), and, when
// made with a selection range, a selection drawn as a highlighted band in the channel with a mark
// at each end.
//
// Setting the range, the position or the selection from code reports nothing; every change the
// user makes (dragging, clicks, keys, the wheel) and the end of a drag is reported by `scrolled`,
// after the position has moved, as the platform's scroll notifications are.
#include <QSlider>

#include "lang/resource_set.h"

class CTrackBar : public QSlider {
    Q_OBJECT

public:
    // A trackbar over 0 to 100 at 0, with no selection. `bSelRange` shows the selection.
    explicit CTrackBar(QWidget* parent = nullptr, bool bSelRange = false);

    void SetRange(int nMin, int nMax, bool bRedraw = false);
    int GetRangeMin() const { return minimum(); }
    int GetRangeMax() const { return maximum(); }
    // Moves the thumb (clamped to the range) without reporting it.
    void SetPos(int nPos);
    int GetPos() const { return value(); }
    // Tick marks every nFreq steps from the start of the range (automatic ticks only).
    void SetTicFreq(int nFreq);
    void SetLineSize(int nSize) { setSingleStep(nSize); }
    int GetLineSize() const { return singleStep(); }
    void SetPageSize(int nSize) { setPageStep(nSize); }
    int GetPageSize() const { return pageStep(); }

    // The selection, kept as given (the platform's control does not order or clamp it either).
    void SetSelection(int nStart, int nEnd, bool bRedraw = false);
    void GetSelection(int& nStart, int& nEnd) const;
    int GetSelStart() const { return m_nSelStart; }
    int GetSelEnd() const { return m_nSelEnd; }
    bool HasSelRange() const { return m_bSelRange; }

    // The x coordinate (in the control) of a value's place on the channel.
    int ValueToX(int nValue) const;
    // The channel the thumb runs in, in the control's coordinates.
    QRect ChannelRect() const;

signals:
    // The user moved the thumb or ended a drag; the position is already the new one.
    void scrolled();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int m_nSelStart = 0;
    int m_nSelEnd = 0;
    bool m_bSelRange = false;
    bool m_bQuiet = false; // a change made from code is under way
};

// The dialog builder's factory for trackbars: a CTrackBar with the template's automatic ticks and
// selection range; nullptr for every other control.
QWidget* CreateTrackBarControl(const lang::DialogControl& control, QWidget* parent);
