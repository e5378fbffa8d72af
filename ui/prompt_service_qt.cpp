#include "ui/prompt_service_qt.h"

#include "ui/app_name.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

PromptResult CQtPromptService::Message(QWidget* parent, const QString& text, PromptButtons buttons,
                                       PromptIcon icon, const QString& caption) {
    QMessageBox box(BoxIcon(icon), caption.isEmpty() ? AppName() : caption, text,
                    BoxButtons(buttons), parent);
    switch (buttons) {
    case PromptButtons::Ok:
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    m_openBoxes.append(OpenBox{&box, parent});
    const int nAnswer = box.exec();
    m_openBoxes.removeIf([&box](const OpenBox& open) { return open.box == &box; });
    switch (nAnswer) {
    case QMessageBox::Ok:
        return PromptResult::Ok;
    case QMessageBox::Cancel:
        return PromptResult::Cancel;
    case QMessageBox::Yes:
        return PromptResult::Yes;
    case QMessageBox::No:
        return PromptResult::No;
    default:
        break;
    }
    return DismissResult(buttons);
}

void CQtPromptService::DismissMessages(QWidget* parent) {
    // Newest first: a box opened over another goes before the one below it.
    const QList<OpenBox> boxes = m_openBoxes;
    for (auto it = boxes.crbegin(); it != boxes.crend(); ++it) {
        QMessageBox* box = it->box;
        if (box == nullptr || it->parent != parent) {
            continue;
        }
        if (QAbstractButton* escape = box->escapeButton()) {
            escape->click();
        }
    }
}

QStringList CQtPromptService::OpenFiles(QWidget* parent, const QString& title,
                                        const QString& filter) {
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The entries' pattern lists are long: shown, they would stretch the type list, and with it
    // the dialog, across the screen. The name says what an entry holds.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

QString CQtPromptService::PickFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}
