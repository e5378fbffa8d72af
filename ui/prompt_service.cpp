#include "ui/prompt_service.h"

namespace {

// What answers while no service is installed (before start-up, or in a program without windows):
// nothing is shown and every prompt is answered as if the user had dismissed it.
class CDismissedPrompts final : public IPromptService {
public:
    PromptResult Message(QWidget*, const QString&, PromptButtons buttons, PromptIcon,
                         const QString&) override {
        return DismissResult(buttons);
    }
    QStringList OpenFiles(QWidget*, const QString&, const QString&) override { return {}; }
    QString PickFolder(QWidget*, const QString&, const QString&) override { return {}; }
    void DismissMessages(QWidget*) override {}
};

IPromptService* g_pApplication = nullptr;
IPromptService* g_pInstalled = nullptr;

} // namespace

IPromptService& Prompts() {
    if (g_pInstalled != nullptr) {
        return *g_pInstalled;
    }
    if (g_pApplication != nullptr) {
        return *g_pApplication;
    }
    static CDismissedPrompts s_dismissed;
    return s_dismissed;
}

void SetApplicationPromptService(IPromptService* service) {
    g_pApplication = service;
}

IPromptService* SetPromptService(IPromptService* service) {
    IPromptService* previous = g_pInstalled;
    g_pInstalled = service;
    return previous;
}
