#pragma once
// A command line is kept as one text, as the encoder's callers write it, and split into an argument
// vector only when a program is started. Splitting follows the Windows command-line rules
// (CommandLineToArgvW): blanks and tabs separate arguments, double quotes group, and backslashes
// escape a quote. Quoting follows the same rules, so whatever a field holds (quotes, backslashes,
// blanks, line feeds, "%s", bytes that are not UTF-8) comes back exactly.
#include <string>
#include <vector>

namespace platform {

// Encloses one argument in double quotes so that SplitCommandLine gives it back unchanged: a quote
// is written as \" together with a doubled run of the backslashes before it, and the backslashes
// before the closing quote are doubled. Other characters, including backslashes that are not
// followed by a quote, are copied as they are, so an ordinary path is just put between quotes.
std::string QuoteArgument(const std::string& text);

// Splits a command line into its arguments. The first argument, the program, is taken as Windows
// takes it: between double quotes when it begins with one (with no escapes), otherwise up to the
// first blank or tab. The other arguments follow the full rules: 2n backslashes and a quote give n
// backslashes and open or close a quoted part, 2n+1 backslashes and a quote give n backslashes and
// a literal quote, backslashes elsewhere are literal, and inside a quoted part two quotes in a row
// give one literal quote. An empty or all-blank text gives no arguments. A text holding a zero
// byte ends there.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

} // namespace platform
