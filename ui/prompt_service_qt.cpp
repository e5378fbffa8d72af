#include "ui/prompt_service_qt.h"

#include "ui/app_name.h"
#include "ui/screen_fit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace {

// A message box that keeps its title whole and stays on the screen. The window manager draws the
// title in a bar as wide as the box, beside its buttons: a box made narrow by a short text (a few
// Chinese characters) would show "Lumicast" cut. A text taller than the screen (a long list of
// files) scrolls inside the box, its buttons staying in view.
class CFittedMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event); // sizes the box for its text and places it
        WidenForTitle();
        ScrollTallText();
    }

private:
    // The room a title bar needs: the title in a bold face, and about six lines' height for the
    // window manager's buttons and margins.
    void WidenForTitle() {
        QFont titleFont = QApplication::font();
        titleFont.setBold(true);
        const QFontMetrics metrics(titleFont);
        const int nTitle = metrics.horizontalAdvance(windowTitle()) + 6 * metrics.height();
        const int nLargest = LargestWindowSize(this).width();
        const int nWidth = std::min(nTitle, nLargest > 0 ? nLargest : nTitle);
        if (width() < nWidth) {
            setFixedWidth(nWidth);
        }
    }

    void ScrollTallText() {
        const QSize largest = LargestWindowSize(this);
        auto* grid = qobject_cast<QGridLayout*>(layout());
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (largest.isEmpty() || height() <= largest.height() || grid == nullptr ||
            label == nullptr) {
            return;
        }
        const int nExcess = height() - largest.height();
        auto* scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("message_scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const QSize text = label->size();
        delete grid->replaceWidget(label, scroll);
        scroll->setWidget(label);
        label->setFixedSize(text);
        const int nBar = scroll->verticalScrollBar()->sizeHint().width();
        scroll->setFixedSize(text.width() + nBar, std::max(1, text.height() - nExcess));
        setFixedSize(std::min(width() + nBar, largest.width()), largest.height());
        MoveInsideArea(this);
    }
};

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
    CFittedMessageBox box(BoxIcon(icon), caption.isEmpty() ? AppName() : caption, text,
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
    // Qt's own dialog speaks the interface's language (ui/qt_translations.h) and is kept on the
    // screen; the desktop's would speak the desktop's.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    KeepOnScreen(&dialog);
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
    QFileDialog dialog(parent, title, start);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    KeepOnScreen(&dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}
