// Every dialog and every drop-down list, in English and in each language module beside the test
// program: no control's text is wider than the control (measured with the control's own font), all
// texts of one dialog share one font size, the list's columns hold their longest texts inside the
// list, long paths in the loading and conversion dialogs are shortened in the middle, and the form
// keeps equal margins on its left and right.
//
// With LUMICAST_SCREENSHOT_DIR set, the form and the conversion, loading and preview dialogs of
// each language are also saved there as PNG images (the README's pictures come from this).
#include "app/about_dlg.h"
#include "app/app_start.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "controls/path_label.h"
#include "engine/encoder_job.h"
#include "engine/ui/convert_dlg.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "preview/preview_dlg.h"
#include "probe/ui/load_source_dlg.h"
#include "profiles/settings.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"
#include "ui/screen_fit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>

#include <memory>
#include <mutex>

namespace {

// A path long enough to be shortened in every dialog that shows one.
const QString kLongFolder =
    QStringLiteral("/home/someone/Videos/Holidays 2024/Summer at the lake with the whole family");

QString Plain(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    out.remove(QLatin1Char('&'));
    out.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return out;
}

QString Name(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// Collects every fault of one dialog in one language.
class Walker {
public:
    Walker(QString strLanguage, QString strDialog)
        : m_strWhere(strLanguage + QLatin1Char('/') + strDialog) {}

    void Fault(const QWidget* widget, const QString& what) {
        m_faults.append(m_strWhere + QLatin1Char(' ') + Name(widget) + QStringLiteral(": ") + what);
    }

    // The width a text needs in a widget's own font.
    static int Advance(const QWidget* widget, const QString& text) {
        return widget->fontMetrics().horizontalAdvance(text);
    }

    void Label(QLabel* label) {
        if (label->textFormat() == Qt::RichText || label->text().isEmpty()) {
            return;
        }
        // The label's own measure of its text: one size for a text that keeps its lines, the
        // height at its width for one that wraps.
        const QSize hint = label->sizeHint();
        const bool bFits = label->wordWrap()
                               ? label->heightForWidth(label->width()) <= label->height()
                               : hint.width() <= label->width() && hint.height() <= label->height();
        if (!bFits) {
            Fault(label, QStringLiteral("\"%1\" needs %2x%3, has %4x%5")
                             .arg(label->text())
                             .arg(hint.width())
                             .arg(label->wordWrap() ? label->heightForWidth(label->width())
                                                    : hint.height())
                             .arg(label->width())
                             .arg(label->height()));
        }
        const QRect room = label->contentsRect();
        if (label->wordWrap()) {
            // A wrapped text may not break inside a word either.
            for (const QString& word :
                 label->text().split(QRegularExpression(QStringLiteral("\\s+")))) {
                if (Advance(label, word) > room.width()) {
                    Fault(label, QStringLiteral("word \"%1\" is wider than the label").arg(word));
                }
            }
        }
    }

    void Button(QAbstractButton* button) {
        const QString text = Plain(button->text());
        if (text.isEmpty()) {
            return;
        }
        int nNeeded = 0;
        if (qobject_cast<QPushButton*>(button) != nullptr) {
            const int nMargin =
                button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            nNeeded = Advance(button, text) + nMargin + 2;
        } else {
            // The indicator, its spacing and the text, as the style draws a check or radio box.
            QStyleOptionButton option;
            option.initFrom(button);
            const bool bRadio = qobject_cast<QRadioButton*>(button) != nullptr;
            const QStyle::PixelMetric indicator =
                bRadio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth;
            const QStyle::PixelMetric spacing =
                bRadio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing;
            nNeeded = button->style()->pixelMetric(indicator, &option, button) +
                      button->style()->pixelMetric(spacing, &option, button) +
                      Advance(button, text) + 1;
        }
        if (nNeeded > button->width()) {
            Fault(button, QStringLiteral("\"%1\" needs %2, has %3")
                              .arg(text)
                              .arg(nNeeded)
                              .arg(button->width()));
        }
    }

    void Group(QGroupBox* group) {
        const QString text = Plain(group->title());
        if (Advance(group, text) + 2 * group->fontMetrics().averageCharWidth() > group->width()) {
            Fault(group, QStringLiteral("title \"%1\" is wider than the box").arg(text));
        }
    }

    // Every item of a drop-down list fits the closed box's text field and the opened list.
    void Combo(QComboBox* combo) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        const int nPopup = qMax(combo->view()->minimumWidth(), combo->width());
        for (int i = 0; i < combo->count(); ++i) {
            const QString text = combo->itemText(i);
            const int nText = Advance(combo, text);
            if (nText > field.width()) {
                Fault(combo, QStringLiteral("item \"%1\" needs %2, the box shows %3")
                                 .arg(text)
                                 .arg(nText)
                                 .arg(field.width()));
            }
            if (nText + 2 * combo->view()->frameGeometry().x() > nPopup) {
                Fault(combo, QStringLiteral("item \"%1\" is wider than the opened list").arg(text));
            }
        }
    }

    // The source list: every column holds its header and its longest cell texts, and the columns
    // stay inside the list.
    void List(CSourceList* list) {
        const QStringList longest[] = {
            {},
            {},
            {SegmentText(0, 0), SegmentText(359999, 359999)},
            {QString::fromStdString(StatusText(kStatusReady)),
             QString::fromStdString(StatusText(kStatusWaiting)),
             QString::fromStdString(StatusText(kStatusDoing)),
             QString::fromStdString(StatusText(kStatusSkip)),
             QString::fromStdString(StatusText(kStatusDone)),
             QString::fromStdString(StatusText(kStatusError))},
        };
        // The item view keeps a margin on either side of a cell's text; the header its own.
        const int nPadding = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
        const int nHeaderPadding = list->style()->pixelMetric(QStyle::PM_HeaderMargin);
        int nTotal = 0;
        for (int i = 0; i < list->columnCount(); ++i) {
            const int nColumn = list->columnWidth(i);
            nTotal += nColumn;
            const QString header = list->headerItem()->text(i);
            const int nHeader =
                list->header()->fontMetrics().horizontalAdvance(header) + 2 * nHeaderPadding;
            if (nHeader > nColumn) {
                Fault(list, QStringLiteral("header \"%1\" needs %2, column %3 has %4")
                                .arg(header)
                                .arg(nHeader)
                                .arg(i)
                                .arg(nColumn));
            }
            for (const QString& text : longest[i < 4 ? i : 0]) {
                if (Advance(list, text) + 2 * nPadding > nColumn) {
                    Fault(list, QStringLiteral("\"%1\" does not fit column %2 (%3)")
                                    .arg(text)
                                    .arg(i)
                                    .arg(nColumn));
                }
            }
        }
        if (nTotal > list->viewport()->width()) {
            Fault(
                list,
                QStringLiteral("columns take %1 of %2").arg(nTotal).arg(list->viewport()->width()));
        }
        if (list->horizontalScrollBar()->maximum() > 0) {
            Fault(list, QStringLiteral("the list scrolls sideways"));
        }
    }

    // Walks every visible control of `dialog`.
    void Walk(QWidget* dialog) {
        const qreal pointSize = dialog->font().pointSizeF();
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(dialog) || widget->inherits("QComboBoxPrivateContainer")) {
                continue;
            }
            bool bText = true;
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                Label(label);
            } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                // The dialog's own buttons, also where they scroll inside a small screen.
                if (button->parentWidget() == dialog ||
                    button->parentWidget()->objectName() == QLatin1String(kScreenFitContentName)) {
                    Button(button);
                } else {
                    bText = false; // the parts of a list or scroll bar
                }
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                Group(group);
            } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                Combo(combo);
            } else if (auto* list = qobject_cast<CSourceList*>(widget)) {
                List(list);
            } else {
                bText = false;
            }
            if (bText && widget->font().pointSizeF() != pointSize) {
                Fault(widget, QStringLiteral("font %1 pt, the dialog's %2 pt")
                                  .arg(widget->font().pointSizeF())
                                  .arg(pointSize));
            }
        }
    }

    const QStringList& Faults() const { return m_faults; }

private:
    QString m_strWhere;
    QStringList m_faults;
};

class NoRows final : public IBatchList {
public:
    int RowCount() override { return 0; }
    FileMediaFormat* RecordAtRow(int) override { return nullptr; }
    void FillRow(int) override {}
};

class NoLoadView final : public ILoadView {
public:
    LoadTarget LoadOutputTarget() const override { return {}; }
    int RowCount() const override { return 0; }
    QWidget* ListWidget() const override { return nullptr; }
    int AppendSource(std::unique_ptr<FileMediaFormat>, int) override { return -1; }
};

void SaveShot(QWidget* widget, const QString& strName) {
    const QByteArray dir = qgetenv("LUMICAST_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        return;
    }
    QDir().mkpath(QString::fromLocal8Bit(dir));
    widget->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + strName + ".png");
}

// Every path-showing line of a path label is shortened in its middle: the text around the path
// and both ends of the path stay, and the full text is the tool tip.
void CheckPathLabel(Walker& walker, CPathLabel* label, const QString& strPath) {
    const QString shown = label->text();
    if (!shown.contains(QChar(0x2026))) {
        walker.Fault(label, QStringLiteral("the long path was not shortened: ") + shown);
    }
    if (!shown.contains(QStringLiteral("fire.avi")) || !shown.contains(QStringLiteral("/home"))) {
        walker.Fault(label, QStringLiteral("the path lost an end: ") + shown);
    }
    if (label->toolTip() != label->FullText() || !label->toolTip().contains(strPath)) {
        walker.Fault(label, QStringLiteral("the tool tip is not the full text"));
    }
}

} // namespace

class DialogFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void everyDialogFitsItsTexts_data();
    void everyDialogFitsItsTexts();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
};

void DialogFitTest::initTestCase() {
    m_config = std::make_unique<ScopedConfigFolder>();
    WriteHiddenToolTips(); // no help window by itself
}

void DialogFitTest::cleanup() {
    lang::ResetLanguageSelection();
}

void DialogFitTest::everyDialogFitsItsTexts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("shotName"); // the screenshots' file name part
    QTest::newRow("English") << 0 << QStringLiteral("en");
    for (const lang::LanguageModule& module : lang::ListLanguageModules()) {
        const QString tag = Plain(QString::fromStdString(module.strName));
        QTest::newRow(tag.toUtf8().constData())
            << static_cast<int>(module.nLanguage) << QString::number(module.nLanguage);
    }
}

void DialogFitTest::everyDialogFitsItsTexts() {
    QFETCH(int, language);
    QFETCH(QString, shotName);
    lang::ResetLanguageSelection();
    if (language != 0) {
        QVERIFY(lang::SelectLanguage(static_cast<std::uint32_t>(language)));
    }
    const QString strLanguage = QString::fromUtf8(QTest::currentDataTag());
    QStringList faults;

    std::unique_ptr<CMainFrame> frame = StartApplication();
    QVERIFY(frame != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(frame.get(), testkit::kPatientMs));
    CVelmoraView* view = frame->View();
    // Rows in every status, the longest segment among them.
    for (std::int32_t nStatus = kStatusReady; nStatus <= kStatusError; ++nStatus) {
        auto record = std::make_unique<FileMediaFormat>();
        const std::string strTitle = "clip " + std::to_string(nStatus + 1);
        record->m_strPath = kLongFolder.toStdString() + "/" + strTitle + ".avi";
        record->m_strTitle = strTitle;
        record->m_strExt = "avi";
        record->m_nDuration = 359999;
        record->m_nStart = nStatus == kStatusSkip ? 359999 : 0;
        record->m_nEnd = nStatus == kStatusSkip ? 359999 : 95 * (nStatus + 1);
        record->m_strTargetFolder = kLongFolder.toStdString() + "/converted/";
        record->m_strTargetName = strTitle + "-cvt";
        record->m_strTargetExt = "mp4";
        record->m_nStatus = nStatus;
        const int nRow = view->AppendSource(std::move(record), view->RowCount());
        view->FillRow(nRow);
    }
    {
        Walker walker(strLanguage, QStringLiteral("form"));
        walker.Walk(view);
        // The form sits in the middle of the view: its left and right margins match.
        int nLeft = view->width();
        int nRight = 0;
        int nBottom = 0;
        for (QWidget* child : view->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (child->isVisibleTo(view)) {
                nLeft = qMin(nLeft, child->x());
                nRight = qMax(nRight, child->geometry().right() + 1);
                nBottom = qMax(nBottom, child->geometry().bottom() + 1);
            }
        }
        if (qAbs(nLeft - (view->width() - nRight)) > 1) {
            walker.Fault(view, QStringLiteral("margins %1 px left, %2 px right")
                                   .arg(nLeft)
                                   .arg(view->width() - nRight));
        }
        if (nBottom > view->height()) {
            walker.Fault(view, QStringLiteral("the form needs %1 px, the window shows %2")
                                   .arg(nBottom)
                                   .arg(view->height()));
        }
        faults += walker.Faults();
        SaveShot(frame.get(), QStringLiteral("form-") + shotName);
    }

    const QString strSource = kLongFolder + QStringLiteral("/first evening by the fire.avi");
    const QString strTarget =
        kLongFolder + QStringLiteral("/converted/first evening by the fire-cvt.avi");
    {
        CEncoderJob job;
        CConvertDlg dialog(view, std::make_unique<NoRows>(), job, view->Settings());
        {
            BatchState& batch = dialog.Batch();
            const std::lock_guard<std::mutex> lock(batch.m_mxUpdate);
            batch.m_strStep = LoadResString(ids::kStrConvertStep, 1, 3, strSource.toStdString(),
                                            strTarget.toStdString());
        }
        dialog.Tick();
        Walker walker(strLanguage, QStringLiteral("conversion"));
        walker.Walk(&dialog);
        CheckPathLabel(walker, dialog.StepLabel(), strSource);
        faults += walker.Faults();
        SaveShot(&dialog, QStringLiteral("convert-") + shotName);
    }
    {
        NoLoadView loadView;
        CLoadSourceDlg dialog(&loadView, {});
        auto* text = dialog.findChild<CPathLabel*>(QStringLiteral("ctl_%1").arg(ids::kCtlStepText));
        QVERIFY(text != nullptr);
        text->SetFullText(QString::fromStdString(
            LoadResString(ids::kStrDetecting, 2, 7, strSource.toStdString())));
        Walker walker(strLanguage, QStringLiteral("loading"));
        walker.Walk(&dialog);
        CheckPathLabel(walker, text, strSource);
        faults += walker.Faults();
        SaveShot(&dialog, QStringLiteral("loading-") + shotName);
    }
    {
        CHelpWindow help;
        Walker walker(strLanguage, QStringLiteral("help"));
        walker.Walk(&help);
        faults += walker.Faults();
    }
    {
        CAboutDlg about;
        Walker walker(strLanguage, QStringLiteral("about"));
        walker.Walk(&about);
        faults += walker.Faults();
    }
    {
        CPreviewDlg preview;
        Walker walker(strLanguage, QStringLiteral("preview"));
        walker.Walk(&preview);
        faults += walker.Faults();
        SaveShot(&preview, QStringLiteral("preview-") + shotName);
    }

    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    frame->close();
    frame.reset();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(DialogFitTest)
#include "dialog_fit_test.moc"
