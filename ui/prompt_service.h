#pragma once
// Every question, notice, open-file dialog and folder picker of the application goes through the
// prompt service. The application's shows Qt dialogs; tests install one that answers from a script
// and records what was asked.
#include <QString>
#include <QStringList>

class QWidget;

enum class PromptIcon { None, Question, Information, Warning, Error };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptResult { Ok, Cancel, Yes, No };

// The answer of a box closed without a button (Escape or the title bar): the same as the button
// that dismisses it.
inline PromptResult DismissResult(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptResult::Ok;
    case PromptButtons::YesNo:
        return PromptResult::No;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
        break;
    }
    return PromptResult::Cancel;
}

class IPromptService {
public:
    virtual ~IPromptService() = default;

    // A message box. The caption is the application name unless given.
    virtual PromptResult Message(QWidget* parent, const QString& text, PromptButtons buttons,
                                 PromptIcon icon, const QString& caption = QString()) = 0;

    // Open-file dialog with multiple selection. `filter` is in Qt's form
    // ("Video Files (*.avi *.mp4);;All Files (*)"); the dialog shows each entry's name only.
    // Returns the chosen paths, or none on cancel.
    virtual QStringList OpenFiles(QWidget* parent, const QString& title, const QString& filter) = 0;

    // Folder picker starting at `start`. Returns the chosen folder, or an empty text on cancel.
    virtual QString PickFolder(QWidget* parent, const QString& title, const QString& start) = 0;

    // Closes every message box still open over `parent` as if the user dismissed it: its Message
    // call returns DismissResult (Cancel for OK/Cancel, No for Yes/No). For a question whose
    // reason went away while it was asked.
    virtual void DismissMessages(QWidget* parent) = 0;
};

// The service in use: the one installed over the application's (a test's scripted one), else the
// application's own, which start-up installs (the Qt one, ui/prompt_service_qt.h). With neither,
// nothing is shown and every prompt is answered as dismissed (DismissResult, no files, no folder).
// Main thread only.
IPromptService& Prompts();
// Installs the application's own service for the rest of the process (not owned).
void SetApplicationPromptService(IPromptService* service);
// Installs a service over the application's (not owned); nullptr goes back to the application's.
// Returns the one installed before (nullptr: none).
IPromptService* SetPromptService(IPromptService* service);
