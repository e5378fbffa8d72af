// Building widgets from dialog templates: the dialog unit conversion, the control kinds and the
// styles a template sets.
#include "ui/dialog_builder.h"

#include "common/testkit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <QValidator>

namespace {

lang::DialogControl Ctl(int nId, lang::ControlKind kind, const char* text, int x, int y, int cx,
                        int cy, std::uint32_t style = lang::kStyleNone) {
    lang::DialogControl control;
    control.nId = nId;
    control.kind = kind;
    control.strText = text;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    control.style = style;
    return control;
}

lang::DialogTemplate Template(std::vector<lang::DialogControl> controls) {
    lang::DialogTemplate tmpl;
    tmpl.nId = 900;
    tmpl.strCaption = "Sample";
    tmpl.cx = 200;
    tmpl.cy = 120;
    tmpl.controls = std::move(controls);
    return tmpl;
}

} // namespace

class DialogBuilderTest : public QObject {
    Q_OBJECT
private slots:
    void unitsRoundToNearestPixel();
    void parentTakesTemplateSizeCaptionAndFont();
    void controlsAreNamedAndPlacedByTheirIds();
    void hiddenDisabledAndReadOnlyStyles();
    void numberStyleAcceptsDigitsOnly();
    void multilineEditBecomesPlainTextEdit();
    void radioButtonsFormOneGroupPerGroupStart();
    void defaultButtonAndListViewKinds();
    void groupBoxStaysBehindItsControls();
    void factoryReplacesCustomControls();
    void labelsDropMnemonicMarks();
    void tightTextWidensTheWholeDialog();
};

void DialogBuilderTest::unitsRoundToNearestPixel() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    // The platform's rule: the average of the 52 Latin letters, rounded; the line height.
    const int w = (metrics.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                       26 +
                   1) /
                  2;
    const int h = metrics.height();
    QCOMPARE(FontBaseUnits(font).dX, static_cast<double>(w));
    QCOMPARE(FontBaseUnits(font).dY, static_cast<double>(h));
    const auto rounded = [](int units, int base, int div) {
        return static_cast<int>(std::lround(static_cast<double>(units) * base / div));
    };
    for (const int units : {1, 3, 7, 13, 255, 479}) {
        const QRect rect = DialogUnitsToPixels(font, units, units, units, units);
        QCOMPARE(rect.x(), rounded(units, w, 4));
        QCOMPARE(rect.y(), rounded(units, h, 8));
        QCOMPARE(rect.width(), rounded(units, w, 4));
        QCOMPARE(rect.height(), rounded(units, h, 8));
    }
    QCOMPARE(DialogUnitsToPixels(font, 4, 8, 40, 80), QRect(w, h, 10 * w, 10 * h));
    // Negative positions round away from zero just as positive ones do.
    QCOMPARE(DialogUnitsToPixels(font, -7, 0, 0, 0).x(), -rounded(7, w, 4));
}

void DialogBuilderTest::parentTakesTemplateSizeCaptionAndFont() {
    QWidget parent;
    const lang::DialogTemplate tmpl = Template({});
    const BuiltDialog built = BuildFromTemplate(&parent, tmpl);
    QCOMPARE(built.font.pointSize(), 8);
    QCOMPARE(parent.font().pointSize(), 8);
    QCOMPARE(parent.windowTitle(), QStringLiteral("Sample"));
    const QRect size = DialogUnitsToPixels(built.units, 0, 0, 200, 120);
    QCOMPARE(parent.size(), size.size());
    QVERIFY(built.controls.isEmpty());
}

void DialogBuilderTest::controlsAreNamedAndPlacedByTheirIds() {
    QWidget parent;
    const BuiltDialog built = BuildFromTemplate(
        &parent, Template({Ctl(1030, lang::ControlKind::Static, "Step", 10, 20, 100, 8),
                           Ctl(-1, lang::ControlKind::Static, "No id", 10, 30, 100, 8),
                           Ctl(1001, lang::ControlKind::Edit, "/tmp/out/", 10, 40, 120, 14)}));
    QCOMPARE(built.controls.size(), 2);
    auto* label = parent.findChild<QLabel*>(QStringLiteral("ctl_1030"));
    QVERIFY(label != nullptr);
    QCOMPARE(built.controls.value(1030), label);
    QCOMPARE(label->text(), QStringLiteral("Step"));
    QCOMPARE(label->geometry(), DialogUnitsToPixels(built.units, 10, 20, 100, 8));
    auto* edit = parent.findChild<QLineEdit*>(QStringLiteral("ctl_1001"));
    QVERIFY(edit != nullptr);
    QCOMPARE(edit->text(), QStringLiteral("/tmp/out/"));
    // The control without an id exists but is not listed.
    QCOMPARE(parent.findChildren<QLabel*>().size(), 2);
}

void DialogBuilderTest::hiddenDisabledAndReadOnlyStyles() {
    QWidget parent;
    BuildFromTemplate(
        &parent,
        Template(
            {Ctl(1101, lang::ControlKind::Static, "Tip", 0, 0, 50, 8, lang::kStyleHidden),
             Ctl(1002, lang::ControlKind::Button, "Browse...", 0, 10, 50, 14, lang::kStyleDisabled),
             Ctl(1001, lang::ControlKind::Edit, "", 0, 30, 50, 14, lang::kStyleReadOnly),
             Ctl(1104, lang::ControlKind::Edit, "", 0, 50, 50, 14)}));
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent, testkit::kPatientMs));
    auto* tip = parent.findChild<QWidget*>(QStringLiteral("ctl_1101"));
    QVERIFY(tip->isHidden());
    QVERIFY(!tip->isVisible());
    auto* browse = parent.findChild<QWidget*>(QStringLiteral("ctl_1002"));
    QVERIFY(browse->isVisible());
    QVERIFY(!browse->isEnabled());
    QVERIFY(parent.findChild<QLineEdit*>(QStringLiteral("ctl_1001"))->isReadOnly());
    QVERIFY(!parent.findChild<QLineEdit*>(QStringLiteral("ctl_1104"))->isReadOnly());
    QVERIFY(parent.findChild<QWidget*>(QStringLiteral("ctl_1104"))->isVisible());
}

void DialogBuilderTest::numberStyleAcceptsDigitsOnly() {
    QWidget parent;
    auto control = Ctl(1109, lang::ControlKind::Edit, "", 0, 0, 40, 14, lang::kStyleNumber);
    control.nMaxLength = 5;
    BuildFromTemplate(&parent,
                      Template({control, Ctl(1110, lang::ControlKind::Edit, "", 0, 20, 40, 14)}));
    parent.show();
    auto* number = parent.findChild<QLineEdit*>(QStringLiteral("ctl_1109"));
    QVERIFY(number->validator() != nullptr);
    QCOMPARE(number->maxLength(), 5);
    number->setFocus();
    QTest::keyClicks(number, QStringLiteral("12a-3.4 5678"));
    QCOMPARE(number->text(), QStringLiteral("12345"));
    auto* plain = parent.findChild<QLineEdit*>(QStringLiteral("ctl_1110"));
    QVERIFY(plain->validator() == nullptr);
    plain->setFocus();
    QTest::keyClicks(plain, QStringLiteral("a1"));
    QCOMPARE(plain->text(), QStringLiteral("a1"));
}

void DialogBuilderTest::multilineEditBecomesPlainTextEdit() {
    QWidget parent;
    BuildFromTemplate(&parent, Template({Ctl(1210, lang::ControlKind::Edit, "line", 0, 0, 90, 60,
                                             lang::kStyleMultiline | lang::kStyleReadOnly |
                                                 lang::kStyleVScroll | lang::kStyleNoWrap)}));
    auto* info = parent.findChild<QPlainTextEdit*>(QStringLiteral("ctl_1210"));
    QVERIFY(info != nullptr);
    QVERIFY(info->isReadOnly());
    QCOMPARE(info->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(info->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(info->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void DialogBuilderTest::radioButtonsFormOneGroupPerGroupStart() {
    QWidget parent;
    BuildFromTemplate(
        &parent,
        Template(
            {Ctl(1004, lang::ControlKind::RadioButton, "A", 0, 0, 30, 10, lang::kStyleGroupStart),
             Ctl(1005, lang::ControlKind::RadioButton, "B", 0, 10, 30, 10),
             Ctl(1015, lang::ControlKind::RadioButton, "C", 0, 20, 30, 10, lang::kStyleGroupStart),
             Ctl(1016, lang::ControlKind::RadioButton, "D", 0, 30, 30, 10, lang::kStylePushLike)}));
    auto* a = parent.findChild<QRadioButton*>(QStringLiteral("ctl_1004"));
    auto* b = parent.findChild<QRadioButton*>(QStringLiteral("ctl_1005"));
    auto* c = parent.findChild<QRadioButton*>(QStringLiteral("ctl_1015"));
    auto* d = parent.findChild<QPushButton*>(QStringLiteral("ctl_1016"));
    QVERIFY(a && b && c && d);
    QVERIFY(d->isCheckable());
    QVERIFY(a->group() != nullptr);
    QCOMPARE(a->group(), b->group());
    QVERIFY(c->group() != a->group());
    QCOMPARE(c->group(), d->group());
    QCOMPARE(a->group()->id(b), 1005);
    a->setChecked(true);
    c->setChecked(true);
    // Checking in one group leaves the other group alone.
    b->setChecked(true);
    QVERIFY(!a->isChecked());
    QVERIFY(c->isChecked());
    d->click();
    QVERIFY(d->isChecked());
    QVERIFY(!c->isChecked());
    QVERIFY(b->isChecked());
}

void DialogBuilderTest::defaultButtonAndListViewKinds() {
    QWidget parent;
    BuildFromTemplate(&parent, Template({Ctl(1, lang::ControlKind::DefButton, "OK", 0, 0, 50, 14),
                                         Ctl(2, lang::ControlKind::Button, "Cancel", 60, 0, 50, 14),
                                         Ctl(1000, lang::ControlKind::ListView, "", 0, 20, 150, 60),
                                         Ctl(1103, lang::ControlKind::ComboBox, "", 0, 90, 80, 100),
                                         Ctl(1118, lang::ControlKind::CheckBox, "Variable Bit Rate",
                                             90, 90, 80, 10)}));
    QVERIFY(parent.findChild<QPushButton*>(QStringLiteral("ctl_1"))->isDefault());
    QVERIFY(!parent.findChild<QPushButton*>(QStringLiteral("ctl_2"))->isDefault());
    auto* list = parent.findChild<QTreeWidget*>(QStringLiteral("ctl_1000"));
    QVERIFY(list != nullptr);
    QVERIFY(!list->rootIsDecorated());
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    auto* combo = parent.findChild<QComboBox*>(QStringLiteral("ctl_1103"));
    QVERIFY(combo != nullptr);
    QVERIFY(!combo->isEditable());
    QCOMPARE(parent.findChild<QCheckBox*>(QStringLiteral("ctl_1118"))->text(),
             QStringLiteral("Variable Bit Rate"));
}

void DialogBuilderTest::groupBoxStaysBehindItsControls() {
    QWidget parent;
    // The group box comes after the control it frames, yet must not cover it.
    BuildFromTemplate(&parent, Template({Ctl(1104, lang::ControlKind::Edit, "", 20, 20, 40, 14),
                                         Ctl(1200, lang::ControlKind::GroupBox, "Video Settings", 5,
                                             5, 150, 60)}));
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent, testkit::kPatientMs));
    auto* edit = parent.findChild<QLineEdit*>(QStringLiteral("ctl_1104"));
    const QPoint centre = edit->geometry().center();
    QCOMPARE(parent.childAt(centre), edit);
    QVERIFY(parent.findChild<QGroupBox*>(QStringLiteral("ctl_1200")) != nullptr);
}

namespace {

QWidget* MakeMarked(const lang::DialogControl& control, QWidget* parent) {
    if (control.kind != lang::ControlKind::Custom) {
        return nullptr;
    }
    auto* widget = new QLabel(QStringLiteral("custom"), parent);
    widget->setProperty("made_by_factory", true);
    return widget;
}

} // namespace

void DialogBuilderTest::factoryReplacesCustomControls() {
    QWidget parent;
    const BuiltDialog built = BuildFromTemplate(
        &parent,
        Template({Ctl(1026, lang::ControlKind::Custom, "", 0, 0, 100, 10, lang::kStyleHidden),
                  Ctl(1030, lang::ControlKind::Static, "text", 0, 20, 100, 10)}),
        &MakeMarked);
    QWidget* custom = built.controls.value(1026);
    QVERIFY(custom != nullptr);
    QVERIFY(custom->property("made_by_factory").toBool());
    QCOMPARE(custom->objectName(), QStringLiteral("ctl_1026"));
    QVERIFY(custom->isHidden());
    QCOMPARE(custom->geometry(), DialogUnitsToPixels(built.units, 0, 0, 100, 10));
    // Other kinds fall back to the default widgets.
    QVERIFY(!built.controls.value(1030)->property("made_by_factory").toBool());
}

void DialogBuilderTest::labelsDropMnemonicMarks() {
    QWidget parent;
    BuildFromTemplate(
        &parent, Template({Ctl(1077, lang::ControlKind::Static, "&Format: R&&D", 0, 0, 80, 10)}));
    QCOMPARE(parent.findChild<QLabel*>(QStringLiteral("ctl_1077"))->text(),
             QStringLiteral("Format: R&D"));
}

void DialogBuilderTest::tightTextWidensTheWholeDialog() {
    QWidget parent;
    const QStringList items = {QStringLiteral("Keep Original"),
                               QStringLiteral("64 kbps - Better than FM (Recommended)")};
    const BuiltDialog built = BuildFromTemplate(
        &parent,
        Template({Ctl(1, lang::ControlKind::Static, "Samplerate:", 0, 0, 36, 8),
                  Ctl(2, lang::ControlKind::Static, "Size:", 0, 10, 36, 8),
                  Ctl(3, lang::ControlKind::CheckBox, "Variable Bit Rate", 0, 20, 60, 10),
                  Ctl(4, lang::ControlKind::Static, "A text far too long for so small a label", 0,
                      30, 20, 8, lang::kStyleHidden),
                  Ctl(5, lang::ControlKind::Static, "A text that wraps over its two lines", 0, 40,
                      20, 16),
                  Ctl(6, lang::ControlKind::ComboBox, "", 0, 60, 80, 12)}),
        nullptr, ControlTexts{{6, items}});
    // One scale for the whole dialog, wider than the font's own so that the tight texts fit.
    QVERIFY(built.units.dX > FontBaseUnits(built.font).dX);
    QCOMPARE(built.units.dY, FontBaseUnits(built.font).dY);
    QCOMPARE(parent.size(), DialogUnitsToPixels(built.units, 0, 0, 200, 120).size());
    for (int nId : {1, 2, 3, 5}) {
        QWidget* widget = built.controls.value(nId);
        // Every control keeps the dialog's font and its template rectangle at that scale.
        QCOMPARE(widget->font(), built.font);
        QCOMPARE(widget->width(),
                 DialogUnitsToPixels(built.units, 0, 0, nId == 3 ? 60 : (nId == 5 ? 20 : 36), 0)
                     .width());
    }
    auto* tight = parent.findChild<QLabel*>(QStringLiteral("ctl_1"));
    QVERIFY(tight->sizeHint().width() <= tight->width());
    auto* check = parent.findChild<QCheckBox*>(QStringLiteral("ctl_3"));
    QVERIFY(check->sizeHint().width() <= check->width());
    // The hidden label and the wrapping one did not widen the scale: it is set by the label, the
    // check box or the list's longest item, whichever needs most.
    const int nItem = QFontMetrics(built.font).horizontalAdvance(items[1]);
    auto* combo = qobject_cast<QComboBox*>(built.controls.value(6));
    QVERIFY(combo != nullptr);
    QVERIFY(combo->width() > nItem);
    QVERIFY(built.units.dX < 4.0 * 2 * nItem / 80);
}

QTEST_MAIN(DialogBuilderTest)
#include "dialog_builder_test.moc"
