// Runs one conversion through the encoder job, as the batch driver does, and prints its wall time.
//   bench_encoder INPUT OUTPUT TITLE START END OPTIONS
// The encoder is found beside this program (the build's bin folder), then on PATH.
#include "engine/encoder_job.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fputs("usage: bench_encoder INPUT OUTPUT TITLE START END OPTIONS\n", stderr);
        return 2;
    }
    CEncoderJob job;
    const auto begin = std::chrono::steady_clock::now();
    const int result =
        job.Run(argv[1], argv[2], argv[3], argv[6], std::atoll(argv[4]), std::atoll(argv[5]));
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
    std::printf("%.3f\n", spent.count());
    return result == 0 ? 0 : 1;
}
