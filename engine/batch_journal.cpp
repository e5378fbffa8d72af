#include "engine/batch_journal.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/store_file.h"
#include "support/field_line.h"
#include "support/fingerprint.h"

namespace {

constexpr char kHeader[] = "lumicast-batch journal 1";

bool ParseState(const std::string& name, JournalState& state) {
    for (JournalState candidate : {JournalState::Waiting, JournalState::Running, JournalState::Done,
                                   JournalState::Error, JournalState::Skip}) {
        if (name == JournalStateName(candidate)) {
            state = candidate;
            return true;
        }
    }
    return false;
}

bool ParseNumber(const std::string& text, std::int32_t& value) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < -1 || number > 0x7fffffffL) {
        return false;
    }
    value = static_cast<std::int32_t>(number);
    return true;
}

} // namespace

const char* JournalStateName(JournalState state) {
    switch (state) {
    case JournalState::Waiting:
        return "waiting";
    case JournalState::Running:
        return "running";
    case JournalState::Done:
        return "done";
    case JournalState::Error:
        return "error";
    case JournalState::Skip:
        return "skip";
    }
    return "waiting";
}

CBatchJournal::CBatchJournal(const std::string& strFolder, const std::string& strIdentity)
    : m_strIdentity(strIdentity) {
    m_strPath = strFolder;
    if (!m_strPath.empty() && m_strPath.back() != '/') {
        m_strPath += '/';
    }
    m_strPath += ".lumicast-batch-" + FingerprintText(strIdentity) + ".journal";
}

std::string CBatchJournal::Text() const {
    std::string text = std::string(kHeader) + "\n" + JoinFields({"batch", m_strIdentity}) + "\n";
    for (const JournalEntry& entry : m_entries) {
        text += JoinFields({"source", JournalStateName(entry.state), std::to_string(entry.nStart),
                            std::to_string(entry.nEnd), entry.strSource, entry.strOutput}) +
                "\n";
    }
    return text;
}

bool CBatchJournal::Load(std::vector<JournalEntry>& entries) const {
    std::ifstream in(m_strPath, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kHeader || !std::getline(in, line) ||
        SplitFields(line) != std::vector<std::string>{"batch", m_strIdentity}) {
        return false;
    }
    std::vector<JournalEntry> read;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = SplitFields(line);
        JournalEntry entry;
        if (fields.size() != 6 || fields[0] != "source" || !ParseState(fields[1], entry.state) ||
            !ParseNumber(fields[2], entry.nStart) || !ParseNumber(fields[3], entry.nEnd)) {
            return false;
        }
        entry.strSource = fields[4];
        entry.strOutput = fields[5];
        read.push_back(std::move(entry));
    }
    entries = std::move(read);
    return true;
}

bool CBatchJournal::Begin(std::vector<JournalEntry> entries) {
    std::lock_guard<std::mutex> lock(m_mx);
    // A run killed while it wrote its journal leaves the temporary file beside it.
    std::error_code error;
    const std::filesystem::path journal(m_strPath);
    const std::string strTemporary = journal.filename().string() + ".tmp-";
    for (const auto& entry : std::filesystem::directory_iterator(journal.parent_path(), error)) {
        if (entry.path().filename().string().rfind(strTemporary, 0) == 0) {
            std::filesystem::remove(entry.path(), error);
        }
    }
    m_entries = std::move(entries);
    return platform::ReplaceFileContents(m_strPath, Text());
}

bool CBatchJournal::Set(int i, JournalState state, const std::string& strOutput) {
    std::lock_guard<std::mutex> lock(m_mx);
    if (i < 0 || static_cast<std::size_t>(i) >= m_entries.size()) {
        return false;
    }
    m_entries[static_cast<std::size_t>(i)].state = state;
    m_entries[static_cast<std::size_t>(i)].strOutput = strOutput;
    return platform::ReplaceFileContents(m_strPath, Text());
}
