#include "engine/encoder_command.h"

#include "platform/command_line.h"

std::string FormatEncoderCommand(const std::string& input, const std::string& output,
                                 const std::string& title, const std::string& options,
                                 std::int64_t start, std::int64_t end) {
    const auto duration = static_cast<std::uint64_t>(end) - static_cast<std::uint64_t>(start);
    const auto startText = std::to_string(static_cast<std::uint32_t>(start));
    const auto durationText = std::to_string(static_cast<std::uint32_t>(duration));

    std::string command;
    command.reserve(input.size() + output.size() + title.size() + options.size() + 64);
    command += kEncoderName;
    command += kEncoderAccessToken;
    command += " -i ";
    command += platform::QuoteArgument(input);
    command += " -title ";
    command += platform::QuoteArgument(title);
    command += ' ';
    command += options;
    command += " -ss ";
    command += startText;
    command += " -t ";
    command += durationText;
    command += " -y ";
    command += platform::QuoteArgument(output);
    return command;
}

std::string FormatProbeCommand(const std::string& path) {
    std::string command = kEncoderName;
    command += kEncoderAccessToken;
    command += " -i ";
    command += platform::QuoteArgument(path);
    return command;
}
