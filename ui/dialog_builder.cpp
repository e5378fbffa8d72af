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

#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A line of text is 8 vertical dialog units high.
constexpr int kLineUnits = 8;
constexpr int kTwoLineUnits = 2 * kLineUnits;

// n * base / per rounded half away from zero, as the platform's dialog unit mapping rounds.
int ScaleRound(int n, double dBase, int nPer) {
    return static_cast<int>(std::lround(n * dBase / nPer));
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
    // A one-line label beside a field ("X=", "kbps") is as tall as the dialog's tallest line
    // (the Chinese one, where a fallback font draws the texts): its text sits in the middle, level
    // with the field's, rather than at the top.
    const bool bOneLine = !text.contains(QLatin1Char('\n')) && control.cy < kTwoLineUnits;
    label->setAlignment(HorizontalAlignment(control.style) |
                        (bOneLine ? Qt::AlignVCenter : Qt::AlignTop));
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

} // namespace

DialogBaseUnits FontBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int nLetters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogBaseUnits units;
    units.dX = static_cast<double>((nLetters / 26 + 1) / 2);
    units.dY = static_cast<double>(metrics.height());
    return units;
}

// The part of a drop-down list's width that is not its text field: frame, margins, arrow button.
int ComboBoxChrome(const QFont& font) {
    QComboBox probe;
    probe.setFont(font);
    probe.resize(200, QFontMetrics(font).height() + 8);
    QStyleOptionComboBox option;
    option.initFrom(&probe);
    const QRect field = probe.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &probe);
    return probe.width() - field.width();
}

int TextNeededWidth(const lang::DialogControl& control, const QFont& font) {
    const QString text = LabelText(QString::fromStdString(control.strText));
    if (text.isEmpty()) {
        return 0;
    }
    const QFontMetrics metrics(font);
    const QStyle* style = QApplication::style();
    const int nText = metrics.horizontalAdvance(text);
    switch (control.kind) {
    case lang::ControlKind::Static: {
        // A text of given lines whose control holds just those lines shows each line whole; a
        // text in a control with room for more lines than it has may wrap.
        const QStringList lines = text.split(QLatin1Char('\n'));
        const bool bOneLine = lines.size() == 1 && control.cy < kTwoLineUnits;
        const bool bGivenLines = lines.size() > 1 && lines.size() * kLineUnits <= control.cy;
        if (!bOneLine && !bGivenLines) {
            return 0;
        }
        int nWidest = 0;
        for (const QString& line : lines) {
            nWidest = std::max(nWidest, metrics.horizontalAdvance(line));
        }
        return nWidest + ((control.style & lang::kStyleBorder) != 0 ? 4 : 0);
    }
    case lang::ControlKind::Button:
    case lang::ControlKind::DefButton:
        return nText + style->pixelMetric(QStyle::PM_ButtonMargin) + 2;
    case lang::ControlKind::CheckBox:
    case lang::ControlKind::RadioButton: {
        if ((control.style & lang::kStylePushLike) != 0) {
            return nText + style->pixelMetric(QStyle::PM_ButtonMargin) + 2;
        }
        const bool bRadio = control.kind == lang::ControlKind::RadioButton;
        return style->pixelMetric(bRadio ? QStyle::PM_ExclusiveIndicatorWidth
                                         : QStyle::PM_IndicatorWidth) +
               style->pixelMetric(bRadio ? QStyle::PM_RadioButtonLabelSpacing
                                         : QStyle::PM_CheckBoxLabelSpacing) +
               nText + 1;
    }
    case lang::ControlKind::GroupBox:
        return nText + 2 * metrics.averageCharWidth();
    default:
        return 0;
    }
}

DialogBaseUnits TemplateBaseUnits(const QFont& font, const lang::DialogTemplate& tmpl,
                                  const ControlTexts& itemTexts) {
    DialogBaseUnits units = FontBaseUnits(font);
    const QFontMetrics metrics(font);
    for (const lang::DialogControl& control : tmpl.controls) {
        const auto items = itemTexts.constFind(control.nId);
        if (items != itemTexts.cend() && control.cx > 0 &&
            (control.style & lang::kStyleHidden) == 0) {
            // A closed drop-down list shows its current item beside the arrow button.
            int nWidest = 0;
            for (const QString& item : *items) {
                nWidest = std::max(nWidest, metrics.horizontalAdvance(item));
            }
            const int nNeeded = nWidest + ComboBoxChrome(font);
            units.dX = std::max(units.dX, (nNeeded - 0.5) * 4.0 / control.cx);
        }
        const QString text = LabelText(QString::fromStdString(control.strText));
        if (text.isEmpty()) {
            continue;
        }
        // The lines as they are drawn, with any fallback font for characters the font lacks.
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            QTextLayout layout(line, font);
            layout.beginLayout();
            QTextLine textLine = layout.createLine();
            if (textLine.isValid()) {
                textLine.setLineWidth(1.0e6);
                units.dY = std::max(units.dY, std::ceil(textLine.ascent() + textLine.descent()));
            }
            layout.endLayout();
        }
        // Controls created hidden (the targets and standards this product does not offer) take
        // no part in the scale.
        const int nNeeded =
            (control.style & lang::kStyleHidden) != 0 ? 0 : TextNeededWidth(control, font);
        if (nNeeded > 0 && control.cx > 0) {
            // The base width at which cx units, rounded, hold nNeeded pixels.
            const double dNeeded = (nNeeded - 0.5) * 4.0 / control.cx;
            units.dX = std::max(units.dX, dNeeded);
        }
    }
    return units;
}

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy) {
    return QRect(ScaleRound(x, units.dX, 4), ScaleRound(y, units.dY, 8),
                 ScaleRound(cx, units.dX, 4), ScaleRound(cy, units.dY, 8));
}

QRect DialogUnitsToPixels(const QFont& font, int x, int y, int cx, int cy) {
    return DialogUnitsToPixels(FontBaseUnits(font), x, y, cx, cy);
}

BuiltDialog BuildFromTemplate(QWidget* parent, const lang::DialogTemplate& tmpl,
                              ControlFactory factory, const ControlTexts& itemTexts) {
    BuiltDialog built;
    built.font = TemplateFont(tmpl);
    if (parent == nullptr) {
        return built;
    }
    parent->setFont(built.font);
    parent->setWindowTitle(QString::fromStdString(tmpl.strCaption));
    built.units = TemplateBaseUnits(built.font, tmpl, itemTexts);
    const QRect size = DialogUnitsToPixels(built.units, 0, 0, tmpl.cx, tmpl.cy);
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
            DialogUnitsToPixels(built.units, control.x, control.y, control.cx, control.cy));
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
