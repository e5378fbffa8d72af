#pragma once
// The journal of a batch, kept beside its outputs while it runs: which source, with which settings,
// into which output, and how far it got. Every change rewrites the whole file through a temporary
// file and a rename (as the settings store does), so a crash at any moment leaves either the old
// journal or the new one, never a part. A later run of the same batch reads it to convert only
// what was not finished.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

enum class JournalState { Waiting, Running, Done, Error, Skip };

struct JournalEntry {
    std::string strSource;   // full path of the source
    std::int32_t nStart = 0; // the part to convert, seconds (as asked; 0 and -1: whole file)
    std::int32_t nEnd = -1;
    JournalState state = JournalState::Waiting;
    std::string strOutput; // the output claimed for it ("" before one was)
};

class CBatchJournal {
public:
    // The journal of the batch described by strIdentity (its settings, its sources, its output
    // folder: whatever makes two batches the same one), in the output folder.
    CBatchJournal(const std::string& strFolder, const std::string& strIdentity);

    const std::string& Path() const { return m_strPath; }

    // Reads the journal left by an earlier run of the same batch. False when there is none, or it
    // is of another batch or cannot be read.
    bool Load(std::vector<JournalEntry>& entries) const;

    // Starts the journal with these entries and writes it. False when it cannot be written (then
    // every later write is tried again, and fails alike).
    bool Begin(std::vector<JournalEntry> entries);
    // Entry i is now in `state`, with `strOutput`; the journal is written at once. Safe from
    // several threads.
    bool Set(int i, JournalState state, const std::string& strOutput);

private:
    std::string Text() const;

    std::string m_strPath;
    std::string m_strIdentity;
    mutable std::mutex m_mx;
    std::vector<JournalEntry> m_entries;
};

// The name of a state in the journal ("waiting", "running", "done", "error", "skip").
const char* JournalStateName(JournalState state);
