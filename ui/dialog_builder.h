#pragma once
// Builds Qt widgets from a dialog template of the current resource set. Dialog units convert to
// pixels by the dialog font's average character width / 4 and height / 8.
#include "lang/resource_set.h"

#include <QFont>
#include <QMap>

class QWidget;

struct BuiltDialog {
    QMap<int, QWidget*> controls; // by control id (controls without an id are not listed)
    QFont font;                   // the font the units were measured with
};

// Creates the template's controls as children of `parent`, sizes `parent` to the template and sets
// its caption. Hidden, disabled and read-only styles are applied. Progress bars, trackbars and
// other custom controls may be given by `factory` (return nullptr for the default widget).
using ControlFactory = QWidget* (*)(const lang::DialogControl&, QWidget* parent);
BuiltDialog BuildFromTemplate(QWidget* parent, const lang::DialogTemplate& tmpl,
                              ControlFactory factory = nullptr);

// Pixel rectangle of a rectangle in dialog units, for the given font.
QRect DialogUnitsToPixels(const QFont& font, int x, int y, int cx, int cy);
