#pragma once
// A prompt service for GUI tests: answers every prompt from a script given in advance and records
// what was asked. Constructing one installs it; destroying it restores the application's service
// (the Qt one once start-up has run).
//
//   ScriptedPrompts prompts;
//   prompts.AnswerMessage(PromptResult::Cancel);
//   frame.close();
//   QCOMPARE(prompts.Count(), 1);
//   QCOMPARE(prompts.At(0).text, "Thanks for using Lumicast. Sure to exit?");
//
// Answers are consumed in order. A prompt whose kind differs from the next scripted answer, or one
// that comes when the script is empty, is answered as if the user closed it (Cancel for boxes with
// Cancel, No for Yes/No, OK for a lone OK, no files, no folder) and is recorded as unscripted.
#include "ui/prompt_service.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>

class ScriptedPrompts final : public IPromptService {
public:
    enum class Kind { Message, OpenFiles, PickFolder };

    struct Record {
        Kind kind = Kind::Message;
        QString text;    // message text, or the dialog title
        QString caption; // message caption as given (empty: the application name)
        PromptButtons buttons = PromptButtons::Ok;
        PromptIcon icon = PromptIcon::None;
        QString filter; // open-file filter
        QString start;  // folder picker start
        QPointer<QWidget> parent;
        bool bScripted = true; // false when the script had no fitting answer
        PromptResult result = PromptResult::Ok;
        QStringList files;
        QString folder;
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // Script the next answers, in the order the prompts are expected.
    void AnswerMessage(PromptResult result);
    void AnswerFiles(const QStringList& files);
    void AnswerFolder(const QString& folder);

    // Called for every prompt after it is recorded and before it is answered (while the code under
    // test waits for the answer, as it would with a real dialog open).
    void OnPrompt(std::function<void(const Record&)> callback) { m_onPrompt = std::move(callback); }

    const QList<Record>& Records() const { return m_records; }
    int Count() const { return static_cast<int>(m_records.size()); }
    const Record& At(int i) const { return m_records.at(i); }
    const Record& Last() const { return m_records.back(); }
    int CountOf(Kind kind) const;
    // Prompts that came with no fitting answer in the script.
    int Unscripted() const;
    // Answers scripted but not used yet.
    int Pending() const { return static_cast<int>(m_answers.size()); }
    void Clear();

    PromptResult Message(QWidget* parent, const QString& text, PromptButtons buttons,
                         PromptIcon icon, const QString& caption = QString()) override;
    QStringList OpenFiles(QWidget* parent, const QString& title, const QString& filter) override;
    QString PickFolder(QWidget* parent, const QString& title, const QString& start) override;
    // Every scripted prompt is answered before its call returns: none is left open to close.
    void DismissMessages(QWidget* /*parent*/) override {}

private:
    struct Answer {
        Kind kind;
        PromptResult result = PromptResult::Ok;
        QStringList files;
        QString folder;
    };

    // Takes the next answer when it is of `kind`; marks the record unscripted otherwise.
    bool Take(Kind kind, Record& record, Answer& answer);
    void Finish(const Record& record);

    std::deque<Answer> m_answers;
    QList<Record> m_records;
    std::function<void(const Record&)> m_onPrompt;
};

const char* PromptKindName(ScriptedPrompts::Kind kind);
