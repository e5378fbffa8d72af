#pragma once
// Keeping windows on the screen. A window never reaches past the available area of its screen (the
// screen less the desktop's panels), whatever the scale factor and the font size: where its
// contents need more room than the area offers, the window takes the area and its contents scroll
// inside it. Where the area is large enough, nothing changes.
#include <QMargins>
#include <QRect>
#include <QSize>

class QDialog;
class QScrollArea;
class QWidget;

// The available area of the screen a window shows on: its own screen once it has one, else its
// parent window's, else the primary screen's. Empty when there is no screen at all.
QRect AvailableArea(const QWidget* window);

// The frame the window manager draws around a window (title bar and borders): the window's own
// once it is known, else the largest one around the other windows shown, else none.
QMargins WindowFrame(const QWidget* window);

// The largest size the window itself (without its frame) may take: the available area less the
// frame. Empty when there is no screen.
QSize LargestWindowSize(const QWidget* window);

// Moves a window so that it and its frame lie inside the available area; a window that already
// does stays where it is. One larger than the area keeps its top-left corner in it.
void MoveInsideArea(QWidget* window);

// A dialog whose controls are placed by hand (built from a template) keeps its size: the user
// cannot size it. When it is larger than LargestWindowSize, its controls move into a scroll area
// that fills the dialog, which takes the largest size. Returns the scroll area, or nullptr when
// the dialog fits.
QScrollArea* FitDialogToScreen(QWidget* dialog);

// The size of a window whose contents need `needed` but may take at most `largest`, scrolling in
// `scroll`: `needed` cut to `largest`, and where the contents scroll one way, widened (or made
// taller) by the scroll bar, as far as `largest` allows, so that they do not scroll the other way
// too.
QSize ScrolledSize(const QSize& needed, const QSize& largest, const QWidget* scroll);

// Fits `dialog` to the screen (FitDialogToScreen) each time it is about to show, before it
// appears; a dialog with a layout of its own is only kept at most the largest size.
void KeepOnScreen(QDialog* dialog);

// The object name of the scroll area FitDialogToScreen makes, and of the widget inside it that
// holds the controls.
inline constexpr char kScreenFitScrollName[] = "screen_fit_scroll";
inline constexpr char kScreenFitContentName[] = "screen_fit_content";
