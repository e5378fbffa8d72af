#pragma once
// The encoder probe: runs the encoder on a source and fills the record from its report.
#include <string>

#include "sources/source_record.h"
#include "support/result_codes.h"

// How long the probe waits for an encoder that prints nothing before it gives up on it.
inline constexpr int kProbeSilenceTimeoutMs = 20000;

// The silence limit in use: kProbeSilenceTimeoutMs, or the whole number of milliseconds (1 to
// 86,400,000) in the environment variable LUMICAST_PROBE_SILENCE_MS when it holds one (the tests
// of a hung encoder set it short).
int ProbeSilenceTimeoutMs();

// Runs the encoder on the file and fills the record from its report, giving up on an encoder
// that prints nothing for ProbeSilenceTimeoutMs().
// With pCause, a failure's cause is stored there as one sentence ("" when none is known):
// the source is gone, the encoder is missing or not executable, went silent, or crashed.
HResult ProbeWithEncoder(FileMediaFormat& record, const std::string& strPath,
                         std::string* pCause = nullptr);

// ProbeWithEncoder with the silence limit as a parameter. Starts "Kestrelvx<token> -i "<path>"" at
// idle priority and reads its output until the encoder ends or 2,047 bytes have come; an encoder
// that prints nothing for silenceTimeoutMs milliseconds is ended. Then ends what is left of the
// encoder, parses the report (ParseEncoderReport) and fills the path fields (FillRecordFromPath),
// whatever happened. Returns 0 when the report gave a duration of at least one second,
// kResultNoDuration when it did not (also when the encoder is missing, cannot start, or the command
// line would be longer than 2,047 characters), and kResultFail when the encoder went silent and was
// given up.
HResult RunEncoderProbe(FileMediaFormat& record, const std::string& path, int silenceTimeoutMs,
                        std::string* pCause = nullptr);
