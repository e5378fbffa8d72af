#pragma once
// The prompt service that shows real Qt dialogs: message boxes with the application's caption,
// the multi-selection open-file dialog and the folder picker.
#include "ui/prompt_service.h"

class CQtPromptService final : public IPromptService {
public:
    PromptResult Message(QWidget* parent, const QString& text, PromptButtons buttons,
                         PromptIcon icon, const QString& caption = QString()) override;
    QStringList OpenFiles(QWidget* parent, const QString& title, const QString& filter) override;
    QString PickFolder(QWidget* parent, const QString& title, const QString& start) override;
};
