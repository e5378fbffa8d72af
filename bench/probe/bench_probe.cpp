// Probes every file named on the command line with ProbeWithEncoder, one after
// the other as the loading pass does, and prints "<files> <failed> <seconds>".
#include "probe/probe_with_encoder.h"
#include "sources/source_record.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    int failed = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 1; i < argc; ++i) {
        FileMediaFormat record;
        if (Failed(ProbeWithEncoder(record, argv[i]))) {
            ++failed;
        }
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
    std::printf("%d %d %.3f\n", argc - 1, failed, spent.count());
    return failed == 0 ? 0 : 1;
}
