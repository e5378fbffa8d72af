#include "app/help_window.h"

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "ui/dialog_builder.h"
#include "ui/screen_fit.h"

#include <QAbstractButton>
#include <QPainter>

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg_%1").arg(ids::kDlgHelp));
    KeepOnScreen(this);
    const auto& dialogs = CurrentResources().dialogs;
    const auto found = dialogs.find(ids::kDlgHelp);
    if (found == dialogs.end()) {
        return;
    }
    const lang::DialogTemplate& tmpl = found->second;
    // The steps are one line each: the builder's scale gives every line its whole width.
    const BuiltDialog built = BuildFromTemplate(this, tmpl);
    setFixedSize(size());
    if (tmpl.strCaption.empty()) {
        // A window without a caption bar: no title, no frame of the window manager's.
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        m_bFramed = true;
    }
    for (auto it = built.controls.cbegin(); it != built.controls.cend(); ++it) {
        auto* button = qobject_cast<QAbstractButton*>(it.value());
        if (button == nullptr) {
            continue;
        }
        switch (it.key()) {
        case ids::kIdOk:
            connect(button, &QAbstractButton::clicked, this, &QDialog::accept);
            break;
        case ids::kIdCancel:
        case ids::kCtlHelpHideTips:
            connect(button, &QAbstractButton::clicked, this, &QDialog::reject);
            break;
        default:
            break;
        }
    }
}

void CHelpWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!m_bFramed) {
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}
