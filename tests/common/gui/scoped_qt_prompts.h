#pragma once
// The Qt prompt service installed over the current one for the object's lifetime, for tests that
// drive the real dialogs; the service installed before comes back afterwards.
#include "ui/prompt_service.h"
#include "ui/prompt_service_qt.h"

class ScopedQtPrompts {
public:
    ScopedQtPrompts() : m_pPrevious(SetPromptService(&m_service)) {}
    ~ScopedQtPrompts() { SetPromptService(m_pPrevious); }
    ScopedQtPrompts(const ScopedQtPrompts&) = delete;
    ScopedQtPrompts& operator=(const ScopedQtPrompts&) = delete;

private:
    CQtPromptService m_service;
    IPromptService* m_pPrevious = nullptr;
};
