#pragma once
#include <string>

// Appends one printf-style formatted line to the diagnostic log file. Callers that log text made at
// run time (a command line, encoder output, a path) pass it as the argument of "%s", never as the
// format. A message that begins with "#FILE_LINE#" is written with a time stamp and without a line
// end. Safe from any thread and across processes; never reports a failure.
void WriteLogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The log file path; empty means nothing is written. At start-up it is taken from the environment
// variable LUMICAST_LOG.
void SetLogPath(const std::string& path);
std::string GetLogPath();

// One plain line naming why the log file cannot be written ("Diagnostic log FILE cannot be written
// (REASON); ..."), or "" when it can or no log is set. Tries to open the file for appending. The
// first time a log file fails, here or in WriteLogLine, the line also goes to standard error, once
// per path; every later line is lost silently and the caller goes on.
std::string LogFaultLine();

// Messages are cut to this many characters.
inline constexpr int kLogMessageMax = 8191;
