#include "app/main_frame.h"

#include "app/fault_notice.h"

#include "app/about_dlg.h"
#include "app/download_command.h"
#include "app/help_contents.h"
#include "app/help_window.h"
#include "app/status_panes.h"
#include "app/toolbar_icons.h"
#include "app/velmora_view.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "profiles/settings.h"
#include "support/log.h"
#include "ui/app_name.h"
#include "ui/screen_fit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace {

// The view's commands: their enabled state follows the list's rules.
constexpr int kViewCommands[] = {ids::kCmdAdd,    ids::kCmdRemove,   ids::kCmdRemoveAll,
                                 ids::kCmdMoveUp, ids::kCmdMoveDown, ids::kCmdPreview,
                                 ids::kCmdConvert};

// The Source Format and Target Format items only tell what the product reads and writes: they
// stay checked and do nothing.
bool IsInformational(int nCommand) {
    return (nCommand >= ids::kCmdSrcVcdVob && nCommand <= ids::kCmdSrcOther) ||
           nCommand == ids::kCmdTgtMpeg4 || nCommand == ids::kCmdTgtH264;
}

bool IsLanguageCommand(int nCommand) {
    return nCommand >= ids::kCmdLanguageFirst && nCommand <= ids::kCmdLanguageLast;
}

// The frame's own commands, besides the view's, the informational and the language items.
bool IsFrameCommand(int nCommand) {
    switch (nCommand) {
    case ids::kCmdExit:
    case ids::kCmdToolTips:
    case ids::kCmdHelpContents:
    case ids::kCmdAbout:
        return true;
    default:
        return IsDownloadCommand(nCommand);
    }
}

// Whether anything handles a command; the menu greys the items of the others.
bool HasCommandHandler(int nCommand) {
    return IsFrameCommand(nCommand) || IsInformational(nCommand) || IsLanguageCommand(nCommand);
}

} // namespace

CMainFrame::CMainFrame(const StartValues& start, QWidget* parent)
    : QMainWindow(parent), m_start(start) {
    setObjectName(QStringLiteral("main_frame"));
    // No maximise box and, with the fixed size, no sizing border.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The form view scrolls inside the window where the screen has less room than it needs.
    m_pScroll = new QScrollArea(this);
    m_pScroll->setObjectName(QStringLiteral("form_scroll"));
    m_pScroll->setFrameShape(QFrame::NoFrame);
    m_pScroll->setWidgetResizable(true);
    setCentralWidget(m_pScroll);
    SetFrameSize(QSize(kWidth, kHeight));
    setWindowIcon(ApplicationIcon());
    SetTitle();

    CreateToolBar();
    m_pStatus = new CStatusPanes(statusBar());
    statusBar()->setSizeGripEnabled(false);
    SetToolbarCaptions(true);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::SetTitle() {
    setWindowTitle(AppName());
}

QAction* CMainFrame::Action(int nCommand) {
    if (QAction* existing = m_actions.value(nCommand, nullptr)) {
        return existing;
    }
    auto* action = new QAction(this);
    action->setObjectName(QStringLiteral("cmd_%1").arg(nCommand));
    action->setData(nCommand);
    action->setIconVisibleInMenu(false);
    SetPrompts(action, nCommand);
    connect(action, &QAction::triggered, this, [this, nCommand] { OnCommand(nCommand); });
    m_actions.insert(nCommand, action);
    return action;
}

void CMainFrame::SetPrompts(QAction* action, int nCommand) {
    // The command's string holds the status-bar prompt, then after a line feed the tool tip.
    const std::string* prompt = FindResString(nCommand);
    if (prompt == nullptr) {
        action->setStatusTip(QString());
        return;
    }
    const QString text = QString::fromStdString(*prompt);
    const qsizetype nBreak = text.indexOf(QLatin1Char('\n'));
    action->setStatusTip(nBreak < 0 ? text : text.left(nBreak));
    if (nBreak >= 0) {
        action->setToolTip(text.mid(nBreak + 1));
    }
}

void CMainFrame::SetCommandEnabled(int nCommand, bool bEnabled) {
    Action(nCommand)->setEnabled(bEnabled);
}

void CMainFrame::UpdateCommandStates() {
    // As the framework does: an item whose command nothing handles is greyed.
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        if (!IsViewCommand(it.key())) {
            it.value()->setEnabled(HasCommandHandler(it.key()));
        }
    }
    if (m_pView == nullptr) {
        return;
    }
    for (const int nCommand : kViewCommands) {
        SetCommandEnabled(nCommand, m_pView->IsCommandEnabled(nCommand));
    }
}

bool CMainFrame::IsViewCommand(int nCommand) const {
    for (const int nViewCommand : kViewCommands) {
        if (nViewCommand == nCommand) {
            return true;
        }
    }
    return false;
}

void CMainFrame::CreateToolBar() {
    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar_%1").arg(ids::kMainFrame));
    m_pToolBar->setMovable(true); // shows the gripper
    m_pToolBar->setFloatable(false);
    m_pToolBar->setAllowedAreas(Qt::TopToolBarArea);
    m_pToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_pToolBar->setIconSize(QSize(kImageSize, kImageSize));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // Captions in the dialogs' 8-point font, so that they fit under the images.
    QFont captionFont = m_pToolBar->font();
    captionFont.setPointSize(kCaptionPointSize);
    m_pToolBar->setFont(captionFont);
    for (const lang::ToolbarButton& button : CurrentResources().toolbar) {
        if (button.nCommand == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* action = Action(button.nCommand);
        action->setIcon(ToolbarIcon(button.nCommand, kImageSize));
        m_pToolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::SetToolbarCaptions(bool bFirstTime) {
    const std::vector<lang::ToolbarButton>& buttons = CurrentResources().toolbar;
    const QList<QAction*> actions = m_pToolBar->actions();
    const QFontMetrics metrics(m_pToolBar->font());
    for (qsizetype i = 0; i < actions.size() && i < static_cast<qsizetype>(buttons.size()); ++i) {
        const lang::ToolbarButton& button = buttons[static_cast<std::size_t>(i)];
        const QString caption = button.nCommand == 0
                                    ? QString()
                                    : QString::fromStdString(LoadResString(button.nCaptionId));
        QAction* action = actions[i];
        if (action->isSeparator()) {
            continue;
        }
        action->setIconText(caption);
        // No tool tip of the previous language stays behind.
        action->setToolTip(QString());
        SetPrompts(action, button.nCommand);
        if (action->toolTip().isEmpty() || action->toolTip() == action->text()) {
            action->setToolTip(caption);
        }
        // 68 by 68, wider only where a caption (German "Alle entfernen") would be cut.
        if (QWidget* widget = m_pToolBar->widgetForAction(action)) {
            const int nWidth =
                std::max(kButtonSize, metrics.horizontalAdvance(caption) + kCaptionPadding);
            if (bFirstTime || widget->width() != nWidth) {
                widget->setFixedSize(nWidth, kButtonSize);
            }
        }
    }
    m_pToolBar->update();
}

void CMainFrame::RebuildMenus() {
    QMenuBar* bar = menuBar();
    bar->clear();
    for (QMenu* old : bar->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) {
        old->deleteLater();
    }
    // Items of the previous set that the new menu no longer holds must not keep a stale text.
    for (QAction* action : std::as_const(m_actions)) {
        if (IsLanguageCommand(action->data().toInt())) {
            action->setText(QString());
        }
    }
    const auto& menus = CurrentResources().menus;
    const auto found = menus.find(ids::kMainFrame);
    if (found == menus.end()) {
        WriteLogLine("Menu %d is missing", ids::kMainFrame);
        return;
    }
    m_languages = lang::LanguageMenuEntries();
    // Which languages the menu offers tells whether the modules were found beside the program.
    std::string strNames;
    for (const LanguageEntry& entry : m_languages) {
        strNames += (strNames.empty() ? "" : ", ") + entry.strName;
    }
    WriteLogLine("Language menu: %s", strNames.c_str());
    const lang::Menu menu = RebuiltMenu(found->second, m_languages, lang::CurrentLanguageId());
    for (const lang::MenuItem& top : menu.items) {
        QMenu* popup = bar->addMenu(QString::fromStdString(top.strText));
        connect(popup, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        FillMenu(popup, top.children);
    }
}

void CMainFrame::FillMenu(QMenu* menu, const std::vector<lang::MenuItem>& items) {
    for (const lang::MenuItem& item : items) {
        if (item.bSeparator) {
            menu->addSeparator();
            continue;
        }
        if (!item.children.empty()) {
            FillMenu(menu->addMenu(QString::fromStdString(item.strText)), item.children);
            continue;
        }
        QAction* action = Action(item.nCommand);
        action->setText(QString::fromStdString(item.strText));
        // The prompts follow the resource set the menu was made from.
        SetPrompts(action, item.nCommand);
        if (item.nCommand == ids::kCmdToolTips) {
            action->setCheckable(true);
            action->setChecked(!m_bHelpHidden);
        } else {
            // A Language item shows its check, but triggering it never toggles the check: the
            // command decides (UpdateLanguageChecks).
            action->setCheckable(item.bChecked || IsLanguageCommand(item.nCommand));
            action->setChecked(item.bChecked);
        }
        menu->addAction(action);
    }
}

CVelmoraView* CMainFrame::MakeView() {
    auto* view = new CVelmoraView(m_pScroll);
    view->setObjectName(QStringLiteral("form_view"));
    // Never smaller than its template: a window with less room scrolls it.
    view->setMinimumSize(view->FormSize());
    m_pScroll->setWidget(view);
    m_pView = view;
    connect(view, &CVelmoraView::commandStatesChanged, this, &CMainFrame::UpdateCommandStates);
    connect(view, &CVelmoraView::commandRequested, this,
            [this](int nCommand) { OnCommand(nCommand); });
    view->OnInitialUpdate();
    return view;
}

void CMainFrame::FitToForm() {
    if (m_pView == nullptr) {
        return;
    }
    const QSize form = m_pView->FormSize();
    // The bars above and below the view: as laid out once the window shows, before that at the
    // heights they ask for.
    int nChrome = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    if (m_pToolBar != nullptr) {
        nChrome += m_pToolBar->sizeHint().height();
    }
    if (isVisible() && layout() != nullptr) {
        layout()->activate();
        nChrome = height() - m_pScroll->height();
    }
    SetFrameSize(QSize(std::max(kWidth, form.width()), std::max(kHeight, form.height() + nChrome)));
}

void CMainFrame::SetFrameSize(const QSize& needed) {
    m_frameFitted = WindowFrame(this);
    const QSize largest = LargestWindowSize(this);
    const QSize fitted = largest.isEmpty() ? needed : ScrolledSize(needed, largest, m_pScroll);
    if (fitted != size() || minimumSize() != maximumSize()) {
        setFixedSize(fitted);
    }
    if (!isVisible()) {
        // Centred on the screen, as far as the available area allows.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - fitted.width()) / 2,
                 area.y() + (area.height() - fitted.height()) / 2);
        }
    }
    // Shown, the window keeps its place (a language switch does not move it) unless its new size
    // would reach past the available area.
    MoveInsideArea(this);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FitToForm();
    // The window manager's frame is known once the window is on the screen: fitted again then.
    QTimer::singleShot(0, this, &CMainFrame::FitToForm);
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window manager has framed the window since it was fitted (its title bar and borders
    // are known now): fitted again with them. A move by the user leaves the frame as it was.
    if (isVisible() && WindowFrame(this) != m_frameFitted) {
        FitToForm();
    }
}

void CMainFrame::FinishView() {
    FitToForm();
    // The bars take their new heights (another language's captions and menu titles) once their
    // layout requests have been served: the window is fitted again then.
    QTimer::singleShot(0, this, &CMainFrame::FitToForm);
    // The initial update checks "Hide the tooltips": the help is hidden until the timer shows it.
    m_bHelpHidden = m_pView->HiddenHelpCheck();
    if (QAction* toolTips = m_actions.value(ids::kCmdToolTips, nullptr)) {
        toolTips->setChecked(!m_bHelpHidden);
    }
    UpdateCommandStates();
    if (!m_start.bHiddenHelp) {
        m_pView->StartHelpTimer();
    }
    // The list is where the keys act (Delete, the arrows, Space), at start-up and in a new view.
    if (QWidget* list = m_pView->ListWidget()) {
        list->setFocus(Qt::OtherFocusReason);
    }
}

void CMainFrame::CreateView() {
    MakeView();
    FinishView();
}

bool CMainFrame::OnCommand(int nCommand) {
    emit commandTriggered(nCommand);
    switch (nCommand) {
    case ids::kCmdExit:
        close();
        return true;
    case ids::kCmdToolTips:
        OnToolTips();
        return true;
    case ids::kCmdHelpContents:
        RunHelpContents(this);
        return true;
    case ids::kCmdAbout: {
        CAboutDlg about(this);
        about.exec();
        return true;
    }
    default:
        break;
    }
    if (IsDownloadCommand(nCommand)) {
        RunDownloadCommand(nCommand, this);
        return true;
    }
    if (IsLanguageCommand(nCommand)) {
        OnLanguage(nCommand);
        return true;
    }
    if (IsInformational(nCommand)) {
        Action(nCommand)->setChecked(true);
        return true;
    }
    if (m_pView != nullptr && IsViewCommand(nCommand)) {
        const bool bHandled = m_pView->OnCommand(nCommand);
        UpdateCommandStates();
        return bHandled;
    }
    return false;
}

void CMainFrame::OnToolTips() {
    if (m_bHelpOpen) {
        return;
    }
    m_bHelpHidden = !m_bHelpHidden;
    Action(ids::kCmdToolTips)->setChecked(!m_bHelpHidden);
    if (m_pView != nullptr) {
        m_pView->SetHiddenHelpCheck(m_bHelpHidden);
    }
    if (m_bHelpHidden) {
        return;
    }
    auto* help = new CHelpWindow(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    m_bHelpOpen = true;
    connect(help, &QDialog::finished, this, [this] {
        m_bHelpOpen = false;
        OnToolTips();
        if (!WriteHiddenToolTips()) {
            ReportSettingsWriteFault(this);
        }
        emit helpWindowClosed();
    });
    help->open();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_doc.SaveModified(this)) {
        event->ignore();
        return;
    }
    event->accept();
}
