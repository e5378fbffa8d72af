#include "common/gui/scripted_prompts.h"

const char* PromptKindName(ScriptedPrompts::Kind kind) {
    switch (kind) {
    case ScriptedPrompts::Kind::Message:
        return "message";
    case ScriptedPrompts::Kind::OpenFiles:
        return "open files";
    case ScriptedPrompts::Kind::PickFolder:
        return "pick folder";
    }
    return "?";
}

ScriptedPrompts::ScriptedPrompts() {
    SetPromptService(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    if (&Prompts() == this) {
        SetPromptService(nullptr);
    }
}

void ScriptedPrompts::AnswerMessage(PromptResult result) {
    m_answers.push_back(Answer{Kind::Message, result, {}, {}});
}

void ScriptedPrompts::AnswerFiles(const QStringList& files) {
    m_answers.push_back(Answer{Kind::OpenFiles, PromptResult::Ok, files, {}});
}

void ScriptedPrompts::AnswerFolder(const QString& folder) {
    m_answers.push_back(Answer{Kind::PickFolder, PromptResult::Ok, {}, folder});
}

int ScriptedPrompts::CountOf(Kind kind) const {
    int n = 0;
    for (const Record& record : m_records) {
        n += record.kind == kind ? 1 : 0;
    }
    return n;
}

int ScriptedPrompts::Unscripted() const {
    int n = 0;
    for (const Record& record : m_records) {
        n += record.bScripted ? 0 : 1;
    }
    return n;
}

void ScriptedPrompts::Clear() {
    m_answers.clear();
    m_records.clear();
}

bool ScriptedPrompts::Take(Kind kind, Record& record, Answer& answer) {
    if (m_answers.empty() || m_answers.front().kind != kind) {
        record.bScripted = false;
        return false;
    }
    answer = m_answers.front();
    m_answers.pop_front();
    return true;
}

void ScriptedPrompts::Finish(const Record& record) {
    m_records.push_back(record);
    if (m_onPrompt) {
        m_onPrompt(record);
    }
}

PromptResult ScriptedPrompts::Message(QWidget* parent, const QString& text, PromptButtons buttons,
                                      PromptIcon icon, const QString& caption) {
    Record record;
    record.kind = Kind::Message;
    record.text = text;
    record.caption = caption;
    record.buttons = buttons;
    record.icon = icon;
    record.parent = parent;
    Answer answer{Kind::Message, DismissResult(buttons), {}, {}};
    Take(Kind::Message, record, answer);
    record.result = answer.result;
    Finish(record);
    return answer.result;
}

QStringList ScriptedPrompts::OpenFiles(QWidget* parent, const QString& title,
                                       const QString& filter) {
    Record record;
    record.kind = Kind::OpenFiles;
    record.text = title;
    record.filter = filter;
    record.parent = parent;
    Answer answer{Kind::OpenFiles, PromptResult::Cancel, {}, {}};
    if (Take(Kind::OpenFiles, record, answer)) {
        record.result = answer.files.isEmpty() ? PromptResult::Cancel : PromptResult::Ok;
    } else {
        record.result = PromptResult::Cancel;
    }
    record.files = answer.files;
    Finish(record);
    return answer.files;
}

QString ScriptedPrompts::PickFolder(QWidget* parent, const QString& title, const QString& start) {
    Record record;
    record.kind = Kind::PickFolder;
    record.text = title;
    record.start = start;
    record.parent = parent;
    Answer answer{Kind::PickFolder, PromptResult::Cancel, {}, {}};
    if (Take(Kind::PickFolder, record, answer)) {
        record.result = answer.folder.isEmpty() ? PromptResult::Cancel : PromptResult::Ok;
    } else {
        record.result = PromptResult::Cancel;
    }
    record.folder = answer.folder;
    Finish(record);
    return answer.folder;
}
