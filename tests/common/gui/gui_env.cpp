#include "common/gui/gui_env.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QWidget>

ScopedConfigFolder::ScopedConfigFolder()
    : m_old(qgetenv("XDG_CONFIG_HOME")), m_bHadOld(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

ScopedConfigFolder::~ScopedConfigFolder() {
    if (m_bHadOld) {
        qputenv("XDG_CONFIG_HOME", m_old);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
}

QWidget* VisibleTopLevel(const QString& objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == objectName && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

QWidget* WaitForTopLevel(const QString& objectName, int ms) {
    QDeadlineTimer deadline(ms);
    while (true) {
        if (QWidget* widget = VisibleTopLevel(objectName)) {
            return widget;
        }
        if (deadline.hasExpired()) {
            return nullptr;
        }
        QTest::qWait(20);
    }
}
