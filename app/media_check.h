#pragma once
// Whether the media framework behind the preview is usable: GStreamer initialises and has the
// elements that playing a source needs. The form shows its tip label when it is not.
#include <QString>

// Checked once per process (the first call initialises GStreamer); later calls return that answer.
bool MediaFrameworkAvailable();

// The Debian packages that provide the elements checked above, separated by spaces.
QString MediaFrameworkPackages();

// The tip the form's label 1101 shows when the media framework is missing, in the current
// language: string 61341 with the packages above.
QString MediaFrameworkTip();
