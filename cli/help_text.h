#pragma once
// The texts lumicast-batch prints for --help, --version and --list-devices.
#include <string>

namespace cli {

std::string HelpText();
// "lumicast-batch 1.0.0"
std::string VersionText();
// One line per labelled row of the size table: the label and WIDTHxHEIGHT.
std::string DeviceListText();

} // namespace cli
