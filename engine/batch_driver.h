#pragma once
// The batch driver: converts every row of the source list, top to bottom, in one run on a worker
// thread, talking to its dialog through the host and the batch state (engine/batch_host.h).
#include <string>

class IBatchHost;

// The worker procedure of a batch. Returns 0.
int ConvertSourcesThread(IBatchHost* pHost);

// The failure message for a list of failed sources (each entry a line feed and a path).
std::string BuildFailureMessage(const std::string& strFailedList);
