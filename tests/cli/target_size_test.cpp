// --target-size: the sizes it reads and how a size reached is told against the limit.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/batch_options.h"
#include "cli/target_size.h"
#include "engine/encoder_channel.h"

namespace {

TEST(TargetSize, SizesAreReadInTheUnitsFileManagersShow) {
    using cli::ParseTargetSize;
    EXPECT_EQ(ParseTargetSize("25M"), 25000000);
    EXPECT_EQ(ParseTargetSize("8MB"), 8000000);
    EXPECT_EQ(ParseTargetSize("700K"), 700000);
    EXPECT_EQ(ParseTargetSize("700kb"), 700000);
    EXPECT_EQ(ParseTargetSize("1.5G"), 1500000000);
    EXPECT_EQ(ParseTargetSize("0.25m"), 250000);
    EXPECT_EQ(ParseTargetSize("2MiB"), 2097152);
    // No unit, an unknown one, no number, a malformed number, below 1 kB, above 1000 GB.
    for (const char* text : {"25", "25 M", "25X", "M", "1.5.2M", ".5M", "5.M", "-5M", "0.9K",
                             "1001G", "99999999999999999G", ""}) {
        EXPECT_EQ(ParseTargetSize(text), std::nullopt) << text;
    }

    cli::BatchRequest request;
    std::string strError;
    ASSERT_TRUE(cli::ParseBatchOptions({"--target-size", "8MB", "a.mp4"}, request, strError));
    EXPECT_EQ(request.targetBytes, 8000000);
    // A disc format fixes its bit rates; a size without its unit is named in the refusal.
    EXPECT_FALSE(cli::ParseBatchOptions({"--target-size", "8M", "--format", "dvd", "a.mp4"},
                                        request, strError));
    EXPECT_NE(strError.find("--target-size does not apply to the dvd format"), std::string::npos)
        << strError;
    EXPECT_FALSE(cli::ParseBatchOptions({"--target-size", "25", "a.mp4"}, request, strError));
    EXPECT_NE(strError.find("for example 25M, 8MB or 700K"), std::string::npos) << strError;
}

TEST(TargetSize, ASizeIsNeverToldAsMoreWithinTheLimitThanItIs) {
    // Reached sizes and shares round down: 1 999 999 bytes are not "2 MB, 100 %".
    EXPECT_EQ(cli::TargetSizeReport(1999999, 2000000), "1.99 MB, 99 % of the 2 MB limit");
    EXPECT_EQ(cli::TargetSizeReport(1960400, 2000000), "1.96 MB, 98 % of the 2 MB limit");
    EXPECT_EQ(cli::TargetSizeReport(24412345, 25000000), "24.4 MB, 97 % of the 25 MB limit");
    EXPECT_EQ(cli::TargetSizeReport(986751, 1000000), "986 kB, 98 % of the 1 MB limit");
    // A size needed rounds up, into the next unit where it must.
    EXPECT_EQ(kestrelvx::DecimalSizeText(2120001, true), "2.13 MB");
    EXPECT_EQ(kestrelvx::DecimalSizeText(999600, true), "1 MB");
    EXPECT_EQ(kestrelvx::DecimalSizeText(700000, true), "700 kB");
    EXPECT_EQ(kestrelvx::DecimalSizeText(1500000000, false), "1.5 GB");
    EXPECT_EQ(kestrelvx::DecimalSizeText(512, false), "512 bytes");
}

} // namespace
