// lumicast-batch's command line (cli/batch_options): any argument vector.
//
// Input: the arguments, separated by zero bytes.
#include "cli/batch_options.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = fuzz::SplitAtZero(fuzz::AsText(data, size), 64);
    cli::BatchRequest request;
    std::string error;
    const bool bAccepted = cli::ParseBatchOptions(args, request, error);
    if (!bAccepted) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    if (request.action == cli::BatchAction::Convert) {
        FUZZ_CHECK(request.files.size() <= args.size());
        FUZZ_CHECK(!request.start || *request.start >= 0);
        FUZZ_CHECK(!request.end || *request.end >= 0);
        // A size limit is whole bytes from 1 kB to 1000 GB, and never beside a video bit rate.
        FUZZ_CHECK(!request.targetBytes ||
                   (*request.targetBytes >= 1000 && *request.targetBytes <= 1000000000000LL &&
                    request.settings.m_nVideoBitRatePos == 0 &&
                    !request.settings.m_bVariableBitRate));
    }

    // The same arguments again into a fresh request: the same answer.
    cli::BatchRequest again;
    std::string error2;
    FUZZ_CHECK(cli::ParseBatchOptions(args, again, error2));
    FUZZ_CHECK(again.files == request.files && again.start == request.start &&
               again.end == request.end && again.strOutputFolder == request.strOutputFolder &&
               again.targetBytes == request.targetBytes);
    return 0;
}
