#include "ui/prompt_service.h"

#include "ui/prompt_service_qt.h"

namespace {

IPromptService* g_pInstalled = nullptr;

} // namespace

IPromptService& Prompts() {
    static CQtPromptService s_qtService;
    if (g_pInstalled != nullptr) {
        return *g_pInstalled;
    }
    return s_qtService;
}

void SetPromptService(IPromptService* service) {
    g_pInstalled = service;
}
