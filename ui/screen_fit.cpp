#include "ui/screen_fit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

QScreen* WindowScreen(const QWidget* window) {
    if (window != nullptr) {
        if (const QWidget* parent = window->parentWidget()) {
            if (!window->isVisible()) {
                return parent->window()->screen();
            }
        }
        return window->screen();
    }
    return QGuiApplication::primaryScreen();
}

// The frame of a window that is on the screen (its geometry and its frame's differ once the
// window manager has framed it).
QMargins ShownFrame(const QWidget* window) {
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

bool IsFramed(const QWidget* window) {
    return !(window->windowFlags() & Qt::FramelessWindowHint) &&
           (window->windowType() == Qt::Window || window->windowType() == Qt::Dialog);
}

// Fits a dialog with a layout of its own (a file dialog, a message box): at most the largest
// size, not below what its layout needs unless that is larger than the screen.
void LimitLayoutDialog(QWidget* dialog) {
    const QSize largest = LargestWindowSize(dialog);
    if (largest.isEmpty()) {
        return;
    }
    const QSize size = dialog->size();
    if (size.width() <= largest.width() && size.height() <= largest.height()) {
        return;
    }
    dialog->setMinimumSize(dialog->minimumSize().boundedTo(largest));
    dialog->setMaximumSize(dialog->maximumSize().boundedTo(largest));
    dialog->resize(size.boundedTo(largest));
}

// Runs the fit each time the dialog is about to show: the show event reaches this filter before
// the dialog places itself over its parent (inside the area, now that the size fits).
class CScreenKeeper final : public QObject {
public:
    explicit CScreenKeeper(QDialog* dialog) : QObject(dialog) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<QDialog*>(watched); dialog != nullptr) {
                if (dialog->layout() != nullptr) {
                    LimitLayoutDialog(dialog);
                } else {
                    FitDialogToScreen(dialog);
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QRect AvailableArea(const QWidget* window) {
    const QScreen* screen = WindowScreen(window);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QMargins WindowFrame(const QWidget* window) {
    if (window == nullptr || !IsFramed(window)) {
        return QMargins();
    }
    if (window->isVisible()) {
        const QMargins own = ShownFrame(window);
        if (!own.isNull()) {
            return own;
        }
    }
    if (const QWindow* handle = window->windowHandle()) {
        const QMargins own = handle->frameMargins();
        if (!own.isNull()) {
            return own;
        }
    }
    // Not framed yet (about to show): the window manager frames it as it frames the windows
    // already shown.
    QMargins frame;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() && IsFramed(other)) {
            const QMargins shown = ShownFrame(other);
            frame = QMargins(
                std::max(frame.left(), shown.left()), std::max(frame.top(), shown.top()),
                std::max(frame.right(), shown.right()), std::max(frame.bottom(), shown.bottom()));
        }
    }
    return frame;
}

QSize LargestWindowSize(const QWidget* window) {
    const QRect area = AvailableArea(window);
    if (area.isEmpty()) {
        return QSize();
    }
    const QMargins frame = WindowFrame(window);
    return QSize(std::max(1, area.width() - frame.left() - frame.right()),
                 std::max(1, area.height() - frame.top() - frame.bottom()));
}

void MoveInsideArea(QWidget* window) {
    const QRect area = AvailableArea(window);
    if (window == nullptr || area.isEmpty()) {
        return;
    }
    const QMargins frame = WindowFrame(window);
    // pos() is where the frame begins; the frame's size is the window's plus the margins.
    const QSize outer = window->size().grownBy(frame);
    QPoint pos = window->pos();
    pos.setX(std::max(area.left(), std::min(pos.x(), area.right() + 1 - outer.width())));
    pos.setY(std::max(area.top(), std::min(pos.y(), area.bottom() + 1 - outer.height())));
    if (pos != window->pos()) {
        window->move(pos);
    }
}

QSize ScrolledSize(const QSize& needed, const QSize& largest, const QWidget* scroll) {
    QSize fitted = needed.boundedTo(largest);
    // A scroll bar along one side takes room from the other: it is added where there is room, so
    // that the form does not scroll that way too.
    const int nBar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    if (fitted.height() < needed.height()) {
        fitted.setWidth(std::min(largest.width(), fitted.width() + nBar));
    }
    if (fitted.width() < needed.width()) {
        fitted.setHeight(std::min(largest.height(), fitted.height() + nBar));
    }
    return fitted;
}

QScrollArea* FitDialogToScreen(QWidget* dialog) {
    if (dialog == nullptr) {
        return nullptr;
    }
    const QSize largest = LargestWindowSize(dialog);
    if (largest.isEmpty()) {
        return nullptr;
    }
    auto* scroll = dialog->findChild<QScrollArea*>(QLatin1String(kScreenFitScrollName),
                                                   Qt::FindDirectChildrenOnly);
    const QSize size = scroll != nullptr ? scroll->widget()->size() : dialog->size();
    if (size.width() <= largest.width() && size.height() <= largest.height()) {
        // A dialog of the platform keeps its size: no sizing border, no grip of the window
        // manager's along its edge.
        dialog->setFixedSize(size);
        return nullptr;
    }
    if (scroll == nullptr) {
        auto* content = new QWidget;
        content->setObjectName(QLatin1String(kScreenFitContentName));
        // The controls keep their places, their stacking order and their visibility.
        const QList<QWidget*> controls =
            dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* control : controls) {
            if (control->isWindow()) {
                continue;
            }
            const bool bHidden = control->isHidden();
            control->setParent(content);
            control->setVisible(!bHidden);
        }
        content->setFixedSize(size);
        scroll = new QScrollArea;
        scroll->setObjectName(QLatin1String(kScreenFitScrollName));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidget(content);
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(scroll);
        layout->setSizeConstraint(QLayout::SetNoConstraint);
    }
    dialog->setFixedSize(ScrolledSize(size, largest, scroll));
    return scroll;
}

void KeepOnScreen(QDialog* dialog) {
    if (dialog != nullptr) {
        dialog->installEventFilter(new CScreenKeeper(dialog));
    }
}
