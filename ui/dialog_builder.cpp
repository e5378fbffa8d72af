#include "ui/dialog_builder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTreeWidget>

#include <cstdint>

namespace {

// a * b / c rounded half away from zero, as the platform's dialog unit mapping rounds.
int MulDivRound(int a, int b, int c) {
    if (c == 0) {
        return 0;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    const std::int64_t q = product >= 0 ? (product + half) / c : (product - half) / c;
    return static_cast<int>(q);
}

// The dialog's font: the Windows dialog faces map to the application's default sans font, at the
// template's point size.
QFont TemplateFont(const lang::DialogTemplate& tmpl) {
    QFont font = QApplication::font();
    font.setPointSize(tmpl.nPointSize > 0 ? tmpl.nPointSize : 8);
    return font;
}

// A label shows "&x" as a mnemonic and "&&" as one ampersand; a plain QLabel would show both.
QString LabelText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

Qt::Alignment HorizontalAlignment(std::uint32_t style) {
    if ((style & lang::kStyleCenter) != 0) {
        return Qt::AlignHCenter;
    }
    if ((style & lang::kStyleRightAlign) != 0) {
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

QWidget* MakeStatic(const lang::DialogControl& control, const QString& text, QWidget* parent) {
    auto* label = new QLabel(LabelText(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(HorizontalAlignment(control.style) | Qt::AlignTop);
    if ((control.style & lang::kStyleBorder) != 0) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    return label;
}

QWidget* MakeEdit(const lang::DialogControl& control, const QString& text, QWidget* parent) {
    const bool bReadOnly = (control.style & lang::kStyleReadOnly) != 0;
    if ((control.style & lang::kStyleMultiline) != 0) {
        auto* edit = new QPlainTextEdit(text, parent);
        edit->setReadOnly(bReadOnly);
        edit->setLineWrapMode((control.style & lang::kStyleNoWrap) != 0
                                  ? QPlainTextEdit::NoWrap
                                  : QPlainTextEdit::WidgetWidth);
        edit->setHorizontalScrollBarPolicy((control.style & lang::kStyleHScroll) != 0
                                               ? Qt::ScrollBarAsNeeded
                                               : Qt::ScrollBarAlwaysOff);
        edit->setVerticalScrollBarPolicy((control.style & lang::kStyleVScroll) != 0
                                             ? Qt::ScrollBarAsNeeded
                                             : Qt::ScrollBarAlwaysOff);
        return edit;
    }
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly(bReadOnly);
    edit->setAlignment(HorizontalAlignment(control.style) | Qt::AlignVCenter);
    if (control.nMaxLength > 0) {
        edit->setMaxLength(control.nMaxLength);
    }
    if ((control.style & lang::kStyleNumber) != 0) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

// A check box or radio button drawn as a push button that stays down while checked.
QWidget* MakePushLike(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setCheckable(true);
    return button;
}

QWidget* MakeListView(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setColumnCount(0);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    return list;
}

QWidget* MakeHyperlink(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    const QString shown = LabelText(text);
    label->setTextFormat(Qt::RichText);
    label->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(shown.toHtmlEscaped(), shown.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(true);
    label->setToolTip(shown);
    return label;
}

QWidget* MakeDefault(const lang::DialogControl& control, const QString& text, QWidget* parent) {
    switch (control.kind) {
    case lang::ControlKind::Static:
        return MakeStatic(control, text, parent);
    case lang::ControlKind::Edit:
        return MakeEdit(control, text, parent);
    case lang::ControlKind::Button:
        return new QPushButton(text, parent);
    case lang::ControlKind::DefButton: {
        auto* button = new QPushButton(text, parent);
        button->setDefault(true);
        return button;
    }
    case lang::ControlKind::CheckBox:
        if ((control.style & lang::kStylePushLike) != 0) {
            return MakePushLike(text, parent);
        }
        return new QCheckBox(text, parent);
    case lang::ControlKind::RadioButton:
        if ((control.style & lang::kStylePushLike) != 0) {
            return MakePushLike(text, parent);
        }
        return new QRadioButton(text, parent);
    case lang::ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case lang::ControlKind::ComboBox:
        return new QComboBox(parent);
    case lang::ControlKind::ListView:
        return MakeListView(parent);
    case lang::ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    case lang::ControlKind::Trackbar: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        if ((control.style & lang::kStyleAutoTicks) != 0) {
            slider->setTickPosition(QSlider::TicksBelow);
        }
        return slider;
    }
    case lang::ControlKind::Hyperlink:
        return MakeHyperlink(text, parent);
    case lang::ControlKind::Picture: {
        auto* frame = new QFrame(parent);
        if ((control.style & lang::kStyleBorder) != 0) {
            frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        }
        return frame;
    }
    case lang::ControlKind::Custom:
        break;
    }
    return new QWidget(parent);
}

// Width a control needs to show its whole text in `font`, or 0 when its text may wrap or it shows
// no text of its own.
int NeededWidth(QWidget* widget, const QFont& font) {
    const QFontMetrics metrics(font);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->textFormat() != Qt::PlainText || label->text().contains(QLatin1Char('\n')) ||
            label->height() >= 2 * metrics.lineSpacing()) {
            return 0;
        }
        return metrics.horizontalAdvance(label->text()) + 2 * label->frameWidth() + 1;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QFont old = button->font();
        button->setFont(font);
        const int nWidth = button->sizeHint().width();
        button->setFont(old);
        if (qobject_cast<QPushButton*>(widget) != nullptr) {
            // Push buttons ask for a minimum width of their own; only the text counts here.
            return metrics.horizontalAdvance(button->text()) + metrics.averageCharWidth() * 2;
        }
        return nWidth;
    }
    return 0;
}

// The sans font runs wider than the face the templates were laid out for, so a text that does
// not fit its control steps down by half a point, at most to kSmallestPointSize, rather than be
// cut off.
constexpr double kSmallestPointSize = 7.0;

void ShrinkToFit(QWidget* widget, const QFont& dialogFont) {
    QFont font = dialogFont;
    if (NeededWidth(widget, font) <= widget->width()) {
        return;
    }
    while (font.pointSizeF() - 0.5 >= kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        if (NeededWidth(widget, font) <= widget->width()) {
            break;
        }
    }
    widget->setFont(font);
}

} // namespace

QRect DialogUnitsToPixels(const QFont& font, int x, int y, int cx, int cy) {
    const QFontMetrics metrics(font);
    const int baseX = metrics.averageCharWidth();
    const int baseY = metrics.height();
    return QRect(MulDivRound(x, baseX, 4), MulDivRound(y, baseY, 8), MulDivRound(cx, baseX, 4),
                 MulDivRound(cy, baseY, 8));
}

BuiltDialog BuildFromTemplate(QWidget* parent, const lang::DialogTemplate& tmpl,
                              ControlFactory factory) {
    BuiltDialog built;
    built.font = TemplateFont(tmpl);
    if (parent == nullptr) {
        return built;
    }
    parent->setFont(built.font);
    parent->setWindowTitle(QString::fromStdString(tmpl.strCaption));
    const QRect size = DialogUnitsToPixels(built.font, 0, 0, tmpl.cx, tmpl.cy);
    parent->resize(size.width(), size.height());

    QButtonGroup* radioGroup = nullptr;
    QList<QWidget*> behind; // group boxes and pictures stay below the controls they frame
    for (const lang::DialogControl& control : tmpl.controls) {
        const QString text = QString::fromStdString(control.strText);
        QWidget* widget = factory != nullptr ? factory(control, parent) : nullptr;
        if (widget == nullptr) {
            widget = MakeDefault(control, text, parent);
        } else if (widget->parentWidget() != parent) {
            widget->setParent(parent);
        }

        if ((control.style & lang::kStyleGroupStart) != 0) {
            radioGroup = nullptr;
        }
        if (control.kind == lang::ControlKind::RadioButton) {
            if (auto* radio = qobject_cast<QAbstractButton*>(widget)) {
                // Radio buttons between two group starts exclude each other.
                if (radioGroup == nullptr) {
                    radioGroup = new QButtonGroup(parent);
                    radioGroup->setExclusive(true);
                }
                radioGroup->addButton(radio, control.nId);
            }
        }

        widget->setGeometry(
            DialogUnitsToPixels(built.font, control.x, control.y, control.cx, control.cy));
        ShrinkToFit(widget, built.font);
        if (control.nId != -1) {
            widget->setObjectName(QStringLiteral("ctl_%1").arg(control.nId));
            built.controls.insert(control.nId, widget);
        }
        if ((control.style & lang::kStyleDisabled) != 0) {
            widget->setEnabled(false);
        }
        if ((control.style & lang::kStyleReadOnly) != 0) {
            if (auto* line = qobject_cast<QLineEdit*>(widget)) {
                line->setReadOnly(true);
            } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
                plain->setReadOnly(true);
            }
        }
        widget->setVisible((control.style & lang::kStyleHidden) == 0);
        if (control.kind == lang::ControlKind::GroupBox ||
            control.kind == lang::ControlKind::Picture) {
            behind.append(widget);
        }
    }
    for (qsizetype i = behind.size(); i > 0; --i) {
        behind[i - 1]->lower();
    }
    return built;
}
