#pragma once
// Helpers for GUI tests of the application: a private settings folder and finding the windows
// the application opens.
#include "common/testkit.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class QWidget;

// Points $XDG_CONFIG_HOME at a fresh empty folder for the object's lifetime, so the settings read
// are those of a new user; the old value comes back afterwards.
class ScopedConfigFolder {
public:
    ScopedConfigFolder();
    ~ScopedConfigFolder();
    ScopedConfigFolder(const ScopedConfigFolder&) = delete;
    ScopedConfigFolder& operator=(const ScopedConfigFolder&) = delete;
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_bHadOld = false;
};

// The visible top-level widget with this object name, or nullptr.
QWidget* VisibleTopLevel(const QString& objectName);

// Waits up to `ms` for a visible top-level widget with this object name.
QWidget* WaitForTopLevel(const QString& objectName, int ms = testkit::kPatientMs);
