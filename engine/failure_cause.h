#pragma once
// Why one file could not be converted or probed, as one plain sentence for the log and for
// lumicast-batch. Each function looks at what is left after the fault (the files, the folders and
// the encoder's exit status) and returns "" when it finds no cause of its own to name; the
// generic failure texts stay as they are.
#include <string>

// The encoder could not be started: it is missing, cannot be run, or the start failed.
std::string EncoderStartCause();

// The output folder cannot take the file: it is gone (bWasThere: it existed when the batch
// began), was never created, or is not writable. "" when it can be written.
std::string OutputFolderCause(const std::string& strFolder, bool bWasThere);

// After an encoder run that failed: the source is gone, the output folder is gone, the disk was
// full (the encoder's own status for it, or the file size limit's signal), or the encoder crashed
// or was ended by a signal. nExitCode is the child's code (128 + the signal that ended it).
std::string EncoderEndCause(int nExitCode, const std::string& strInput,
                            const std::string& strOutput);

// The encoder ended by a signal (nExitCode is 128 + the signal): it crashed, or was ended.
// "" for an ordinary exit status.
std::string EncoderSignalCause(int nExitCode);

// The source file is gone. "" while it is there.
std::string SourceGoneCause(const std::string& strPath);

// Why a probe found no duration when nothing went wrong with the encoder's run: the encoder's own
// reason (the text of its last "Kestrelvx: error: " line, "" when it gave none), else what its
// report shows: a length of zero, an unknown length, or no report at all. Never "".
std::string ProbeReportCause(const std::string& strEncoderReason, const std::string& strReport);
