// The language switch of the main frame: the Language commands, and the form view re-created in
// the new language.
#include "app/language_switch.h"

#include "app/fault_notice.h"
#include "app/main_frame.h"
#include "app/status_panes.h"
#include "app/velmora_view.h"
#include "lang/language_locale.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"
#include "support/log.h"
#include "ui/prompt_service.h"
#include "ui/qt_translations.h"

#include <QAction>
#include <QScrollArea>

#include <cstdint>
#include <memory>

QString TranslationNotice() {
    return QStringLiteral("If you find any translation error, please mail to %1, thanks a lot.")
        .arg(QLatin1String(kTranslationContact));
}

void UseQtTextsOfCurrentLanguage() {
    const std::string strLocale = lang::LanguageLocaleName(lang::CurrentLanguageId());
    if (!UseQtTranslation(strLocale)) {
        WriteLogLine("Qt's texts stay English: no Qt translation for %s", strLocale.c_str());
    }
}

void CMainFrame::UpdateLanguageChecks() {
    const std::uint16_t nCurrent = lang::CurrentLanguageId();
    for (std::size_t i = 0; i < m_languages.size(); ++i) {
        const int nCommand = ids::kCmdLanguageFirst + static_cast<int>(i);
        if (QAction* action = m_actions.value(nCommand, nullptr)) {
            action->setChecked(m_languages[i].nLanguage == nCurrent);
        }
    }
}

void CMainFrame::OnLanguage(int nCommand) {
    const auto nIndex = static_cast<std::size_t>(nCommand - ids::kCmdLanguageFirst);
    if (nIndex >= m_languages.size()) {
        UpdateLanguageChecks();
        return;
    }
    // Copied: the rebuild below replaces the list.
    const LanguageEntry entry = m_languages[nIndex];
    if (entry.nLanguage == lang::CurrentLanguageId() || !lang::SelectLanguage(entry.nLanguage)) {
        UpdateLanguageChecks();
        return;
    }
    UseQtTextsOfCurrentLanguage();
    RebuildMenus();
    SetTitle();
    RecreateView();
    if (!WriteLanguageSetting(entry.nLanguage)) {
        ReportSettingsWriteFault(this);
    }
    if (entry.nLanguage != lang::kEnglishLanguageId) {
        Prompts().Message(this, TranslationNotice(), PromptButtons::Ok, PromptIcon::Information);
    }
}

void CMainFrame::RecreateView() {
    // The old view leaves the frame but lives on until the new one has taken over from it.
    std::unique_ptr<QWidget> pOld(m_pScroll->takeWidget());
    auto* old = qobject_cast<CVelmoraView*>(pOld.get());
    if (old != nullptr) {
        old->disconnect(this);
        old->hide();
    }
    CVelmoraView* view = MakeView();
    if (old != nullptr) {
        view->TakeOverSettings(*old);
        view->TakeOverSources(*old);
        // The user's place in the list stays: the selected rows (and so the panel) and the focus.
        view->TakeOverSelection(*old);
    }
    pOld.reset();
    view->show();
    SetToolbarCaptions(false);
    m_pStatus->SetTexts();
    FinishView();
}
