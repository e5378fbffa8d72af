#include "app/help_contents.h"

#include "app/download_links.h"
#include "platform/desktop_open.h"
#include "platform/program_folder.h"
#include "ui/app_name.h"
#include "ui/prompt_service.h"

#include <string>

void RunHelpContents(QWidget* pParent) {
    const std::string strManual =
        links::HelpManualPath(platform::ProgramFolder(), AppName().toStdString());
    const platform::LaunchResult result = platform::OpenWithDesktop(strManual);
    if (result.fault == platform::LaunchFault::kFileNotFound ||
        result.fault == platform::LaunchFault::kPathNotFound) {
        Prompts().Message(pParent, MissingHelpHandlerText(), PromptButtons::Ok, PromptIcon::None);
    }
}

QString MissingHelpHandlerText() {
    return QStringLiteral("Can't find %1. It's included in the %2 package.")
        .arg(QString::fromLatin1(platform::kDesktopHandlerProgram),
             QString::fromLatin1(platform::kDesktopHandlerPackage));
}
