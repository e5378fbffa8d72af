#pragma once
// The single-document frame: a fixed-size window with the menu bar, the toolbar, the status bar
// and the form view as its client. Menu and toolbar share one action per command id; every
// command goes through OnCommand, which hands the view's commands to the view.
#include <QMainWindow>
#include <QMap>
#include <QMargins>

#include <cstdint>
#include <vector>

#include "app/menu_rebuild.h"
#include "app/start_values.h"
#include "app/velmora_doc.h"

class CStatusPanes;
class CVelmoraView;
class QAction;
class QMenu;
class QScrollArea;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 735;
    static constexpr int kHeight = 564;
    static constexpr int kImageSize = 48;  // toolbar images
    static constexpr int kButtonSize = 68; // toolbar buttons, caption included
    static constexpr int kCaptionPointSize = 8;
    static constexpr int kCaptionPadding = 4; // what the style keeps free beside a caption

    // Creates the window (size, position, style), the toolbar, the status bar and their texts.
    explicit CMainFrame(const StartValues& start = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Creates the form view as the client and runs its initial update; starts the one-second
    // help timer unless the help window was closed in an earlier run.
    void CreateView();
    CVelmoraView* View() const { return m_pView; }
    // The frame's client, which holds the form view and scrolls it when the window is smaller.
    QScrollArea* FormScroll() const { return m_pScroll; }
    CVelmoraDoc& Document() { return m_doc; }
    // What start-up handed to the frame.
    const StartValues& Start() const { return m_start; }

    // Rebuilds the menu bar from menu 128 of the current resource set (the reload happens either
    // way: the menu is made from the set each time), with the Language menu listing English and
    // the modules found, the current language checked.
    void RebuildMenus();
    // The entries of the Language menu as last rebuilt; entry i belongs to command 32750 + i.
    const std::vector<LanguageEntry>& Languages() const { return m_languages; }
    // Sets the toolbar captions from the current resource set; the first time also sizes the
    // buttons.
    void SetToolbarCaptions(bool bFirstTime);
    // The frame's title is always the application name.
    void SetTitle();

    // The action of a command (menu item and toolbar button share it); created on first use.
    QAction* Action(int nCommand);
    void SetCommandEnabled(int nCommand, bool bEnabled);
    // Takes the enabled state of the view's commands from the view.
    void UpdateCommandStates();

    // Runs a command as its menu item or toolbar button does. False when nothing handles it.
    bool OnCommand(int nCommand);

    // The tool tips command: shows the help window, or hides the help after it was closed.
    void OnToolTips();
    bool HelpHidden() const { return m_bHelpHidden; }

    QToolBar* ToolBar() const { return m_pToolBar; }
    CStatusPanes* StatusPanes() const { return m_pStatus; }

signals:
    // Every command, before it is handled.
    void commandTriggered(int nCommand);
    // The help window has closed and "HiddenToolTips" was stored.
    void helpWindowClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The window grows to its form once the bars have their real heights.
    void showEvent(QShowEvent* event) override;
    // Once the window manager has framed the window, it is fitted again to the available area.
    void moveEvent(QMoveEvent* event) override;
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void CreateToolBar();
    // A new form view as the frame's client, its signals connected and its initial update run.
    CVelmoraView* MakeView();
    // After the view's initial update: the help state follows the view's check box, and the help
    // timer starts unless the help window was closed in an earlier run.
    void FinishView();
    // The window is kWidth by kHeight, or larger where the form needs more room at the scale its
    // texts need (a wider font or a longer translation), but never larger than the screen's
    // available area: there the form scrolls inside the window.
    void FitToForm();
    // Fixes the window's size at `needed`, cut to the available area; first centred on the screen,
    // then kept where it is, always inside the available area.
    void SetFrameSize(const QSize& needed);
    // ---- The language switch (language_switch.cpp) -------------------------------------------
    // Language command 32750 + i: switches to entry i when it is not the current language.
    void OnLanguage(int nCommand);
    // Replaces the form view by a new one in the current language that takes over the old view's
    // settings and sources.
    void RecreateView();
    // Checks the Language item of the current language only.
    void UpdateLanguageChecks();
    // ---------------------------------------------------------------------------------------------
    void FillMenu(QMenu* menu, const std::vector<lang::MenuItem>& items);
    void SetPrompts(QAction* action, int nCommand);
    bool IsViewCommand(int nCommand) const;

    const StartValues m_start;
    CVelmoraDoc m_doc;
    CVelmoraView* m_pView = nullptr;
    QScrollArea* m_pScroll = nullptr; // the frame's client: the form view scrolls in it
    QMargins m_frameFitted;           // the window manager's frame the size was fitted with
    QToolBar* m_pToolBar = nullptr;
    CStatusPanes* m_pStatus = nullptr;
    QMap<int, QAction*> m_actions;
    std::vector<LanguageEntry> m_languages;
    bool m_bHelpHidden = true;
    bool m_bHelpOpen = false;
};
