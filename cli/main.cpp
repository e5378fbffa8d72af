// lumicast-batch: converts the files named on the command line with the settings its options give,
// through the same batch driver as the window's Convert command.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/batch_options.h"
#include "cli/batch_run.h"
#include "cli/help_text.h"
#include "cli/progress_printer.h"
#include "cli/target_size.h"
#include "engine/encoder_channel.h"
#include "platform/signal_watch.h"
#include "platform/terminal.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    cli::BatchRequest request;
    std::string strError;
    if (!cli::ParseBatchOptions(args, request, strError)) {
        std::fprintf(stderr, "lumicast-batch: %s\n", cli::PrintableText(strError, false).c_str());
        return cli::kExitRefused;
    }
    switch (request.action) {
    case cli::BatchAction::Help:
        std::fputs(cli::HelpText().c_str(), stdout);
        return cli::kExitDone;
    case cli::BatchAction::Version:
        std::fputs(cli::VersionText().c_str(), stdout);
        return cli::kExitDone;
    case cli::BatchAction::ListDevices:
        std::fputs(cli::DeviceListText().c_str(), stdout);
        return cli::kExitDone;
    case cli::BatchAction::Convert:
        break;
    }

    platform::CSignalWatch watch;
    if (!watch.IsReady()) {
        std::fputs("lumicast-batch: cannot watch for Ctrl-C; it will end the program at once\n",
                   stderr);
    }
    // The device's limits reach the encoders through the environment; without --device none
    // apply, whatever the caller's environment held.
    if (request.deviceLimits) {
        setenv(kestrelvx::kLimitsVariable,
               kestrelvx::FormatDeviceLimits(*request.deviceLimits).c_str(), 1);
    } else {
        unsetenv(kestrelvx::kLimitsVariable);
    }
    // Each encoder gets a notes file of its own; probes and other encoders write none.
    unsetenv(kestrelvx::kNotesVariable);
    cli::PassTargetSize(request.targetBytes);
    cli::CProgressPrinter printer(stdout, platform::IsTerminal(stdout));
    printer.SetJson(request.bJson);
    printer.SetTargetSize(request.targetBytes.value_or(0));
    return cli::RunBatch(request, printer, watch);
}
