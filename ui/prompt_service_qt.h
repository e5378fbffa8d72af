#pragma once
// The prompt service that shows real Qt dialogs: message boxes with the application's caption,
// the multi-selection open-file dialog and the folder picker.
#include "ui/prompt_service.h"

#include <QList>
#include <QPointer>

class QMessageBox;

class CQtPromptService final : public IPromptService {
public:
    PromptResult Message(QWidget* parent, const QString& text, PromptButtons buttons,
                         PromptIcon icon, const QString& caption = QString()) override;
    QStringList OpenFiles(QWidget* parent, const QString& title, const QString& filter) override;
    QString PickFolder(QWidget* parent, const QString& title, const QString& start) override;
    void DismissMessages(QWidget* parent) override;

private:
    struct OpenBox {
        QPointer<QMessageBox> box;
        QPointer<QWidget> parent;
    };
    QList<OpenBox> m_openBoxes; // the boxes whose Message call has not returned, oldest first
};
