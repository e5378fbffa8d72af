#include "app/velmora_doc.h"

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "ui/app_name.h"
#include "ui/prompt_service.h"

bool CVelmoraDoc::SaveModified(QWidget* parent) {
    const std::string text = LoadResString(ids::kStrExitQuestion, kAppName);
    const PromptResult answer = Prompts().Message(parent, QString::fromStdString(text),
                                                  PromptButtons::OkCancel, PromptIcon::Question);
    // The document is never modified, so nothing else keeps the application from closing.
    return answer == PromptResult::Ok;
}
