#pragma once
// The loading pass: probes each added file with the encoder, adds a record and a list row for each
// file that probes well, and names the others in one message at the end.
#include <string>
#include <vector>

#include "probe/load_host.h"

// Runs the pass over `paths` in order (the body of the loading dialog's worker thread); ends with
// host.Close(). Returns the number of files that failed. The window probes one file at a time;
// lumicast-batch may probe up to nProbesAtOnce files ahead on threads of their own, the host still
// being called for each file in order from the calling thread.
int LoadSourcesThread(ILoadHost& host, const std::vector<std::string>& paths,
                      int nProbesAtOnce = 1);

// The failure message: string 61205, "\r\n", the failure text (a line feed before each failed
// path), "\r\n\r\n", string 61222.
std::string LoadFailureMessage(const std::string& strFailures);
