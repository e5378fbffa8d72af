#include "app/download_command.h"

#include "app/desktop_report.h"
#include "app/download_links.h"
#include "lang/resource_ids.h"
#include "platform/program_folder.h"

#include <string>

bool IsDownloadCommand(int nCommand) {
    return nCommand >= ids::kCmdProductFirst && nCommand <= ids::kCmdOggCodec;
}

void RunDownloadCommand(int nCommand, QWidget* pParent) {
    if (!IsDownloadCommand(nCommand)) {
        return;
    }
    const std::string strAddress = links::DownloadAddress(nCommand, platform::ProgramFolder());
    if (strAddress.empty()) {
        return;
    }
    static_cast<void>(OpenInBrowserReported(pParent, strAddress));
}
