#include "app/help_contents.h"

#include "app/desktop_report.h"
#include "app/download_links.h"
#include "platform/program_folder.h"
#include "ui/app_name.h"

#include <string>

void RunHelpContents(QWidget* pParent) {
    const std::string strManual =
        links::HelpManualPath(platform::ProgramFolder(), AppName().toStdString());
    static_cast<void>(OpenWithDesktopReported(pParent, strManual, DesktopTarget::kManual));
}
