#pragma once
// Builds Qt widgets from a dialog template of the current resource set. Dialog units convert to
// pixels by the dialog's base units: 4 horizontal units are one base width, 8 vertical units one
// base height. The base units come from the font the dialog's texts are actually drawn in (see
// DialogBaseUnits below), so every control of a dialog keeps the template's proportions and shows
// its text whole in the one dialog font.
#include "lang/resource_set.h"

#include <QFont>
#include <QMap>
#include <QStringList>
#include <QWidget>

// Pixels of 4 horizontal and of 8 vertical dialog units.
struct DialogBaseUnits {
    double dX = 0.0;
    double dY = 0.0;
};

struct BuiltDialog {
    QMap<int, QWidget*> controls; // by control id (controls without an id are not listed)
    QFont font;                   // the one font of every control of the dialog
    DialogBaseUnits units;        // the scale the template was laid out with
};

// Creates the template's controls as children of `parent`, sizes `parent` to the template and sets
// its caption. Hidden, disabled and read-only styles are applied. Progress bars, trackbars and
// other custom controls may be given by `factory` (return nullptr for the default widget).
// `itemTexts` gives, by control id, the texts a control will be filled with later (a drop-down
// list's items); the scale lets each of them show whole in its control.
using ControlFactory = QWidget* (*)(const lang::DialogControl&, QWidget* parent);
using ControlTexts = QMap<int, QStringList>;
BuiltDialog BuildFromTemplate(QWidget* parent, const lang::DialogTemplate& tmpl,
                              ControlFactory factory = nullptr, const ControlTexts& itemTexts = {});

// The control `nId` of a built dialog as a T. When the template lacks it (a language module's
// template may), a hidden stand-in made by `make(parent)`, so that every path of the dialog has
// its widget.
template <class T, class Make>
T* ControlOrStandIn(const BuiltDialog& built, int nId, QWidget* parent, Make make) {
    if (T* control = qobject_cast<T*>(built.controls.value(nId, nullptr))) {
        return control;
    }
    T* standIn = make(parent);
    standIn->hide();
    return standIn;
}
template <class T> T* ControlOrStandIn(const BuiltDialog& built, int nId, QWidget* parent) {
    return ControlOrStandIn<T>(built, nId, parent, [](QWidget* p) { return new T(p); });
}

// The base units of a font, by the platform's rule: the base width is the average width of the 52
// Latin letters, rounded as (width of "A".."Z" "a".."z" / 26 + 1) / 2; the base height is the
// font's line height.
DialogBaseUnits FontBaseUnits(const QFont& font);

// The base units a template is laid out with in `font`: the font's own base units, widened where a
// one-line text of a shown control (a label, a button, a group title) would not fit its control at
// that scale, and heightened where the texts' lines run taller than the font's (a fallback font
// for characters the dialog font lacks). One scale for the whole dialog keeps its proportions.
DialogBaseUnits TemplateBaseUnits(const QFont& font, const lang::DialogTemplate& tmpl,
                                  const ControlTexts& itemTexts = {});

// Pixel rectangle of a rectangle in dialog units.
QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy);
QRect DialogUnitsToPixels(const QFont& font, int x, int y, int cx, int cy);

// The width a one-line text needs in a label, button or group box title of `font`, or 0 when the
// control kind shows no text of its own or its text may wrap over several lines.
int TextNeededWidth(const lang::DialogControl& control, const QFont& font);
