#pragma once
// The encoder's command lines: the conversion command and the probe command.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/encoder_contract.h"

// The longest command line the application starts; a longer one is refused, never cut.
inline constexpr std::size_t kMaxEncoderCommandLine = 2047;

// The conversion command line:
//   Kestrelvx<token> -i "<input>" -title "<title>" <options> -ss <start> -t <end - start> -y
//   "<output>"
// The options are written as they are (they may be empty). The start and the duration (end minus
// start, in 64-bit arithmetic) are written as unsigned decimals from their low 32 bits. Input,
// title and output are quoted by platform::QuoteArgument: for an ordinary path that is the text
// between double quotes, and any name (quotes, backslashes, line feeds included) comes back
// exactly when the line is split. The result may be longer than kMaxEncoderCommandLine; the caller
// checks.
std::string FormatEncoderCommand(const std::string& input, const std::string& output,
                                 const std::string& title, const std::string& options,
                                 std::int64_t start, std::int64_t end);

// The probe command line: Kestrelvx<token> -i "<path>", quoted the same way. The encoder prints
// its report on the input and stops.
std::string FormatProbeCommand(const std::string& path);
