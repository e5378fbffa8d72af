#pragma once
// The toolbar's artwork: one SVG image per command, shipped inside the application, rendered at
// the toolbar's image size with a greyed copy for the disabled state.
#include <QIcon>
#include <QImage>
#include <QString>

// Resource path of a command's image (":/icons/add.svg"), or empty when the command has none.
QString ToolbarImagePath(int commandId);

// The icon of a command: the normal rendering, and the greyed one for the disabled state. A null
// icon when the command has no image or it cannot be read.
QIcon ToolbarIcon(int commandId, int nImageSize);

// The application's own icon.
QIcon ApplicationIcon();

// A disabled-looking copy of an image: grey, lighter and partly transparent.
QImage GreyedImage(const QImage& image);
