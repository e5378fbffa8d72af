#include "engine/encoder_start.h"

#include <cstring>
#include <unistd.h>

namespace {

constexpr int kIdlePriority = 1;

} // namespace

bool CopyEncoderCommand(const std::string& strCommand, EncoderCommandBuffer& buffer) {
    if (strCommand.size() > kMaxEncoderCommandLine || strCommand.find('\0') != std::string::npos) {
        return false;
    }
    std::memcpy(buffer.data(), strCommand.c_str(), strCommand.size() + 1);
    return true;
}

int StartEncoder(const EncoderCommandBuffer& buffer, ChildProc& proc) {
    proc.pszCommandLine = buffer.data();
    proc.nOptions = kChildProcRedirectOutput;
    const int nResult = ChildProcStart(proc);
    if (nResult == 0) {
        ChildProcSetPriority(proc, kIdlePriority);
    }
    return nResult;
}

CEncoderEnvironment::CEncoderEnvironment(const std::vector<std::string>& overrides) {
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text = *entry;
        bool bReplaced = false;
        for (const std::string& over : overrides) {
            bReplaced = bReplaced || nameOf(over) == nameOf(text);
        }
        if (!bReplaced) {
            m_entries.push_back(text);
        }
    }
    m_entries.insert(m_entries.end(), overrides.begin(), overrides.end());
    for (const std::string& entry : m_entries) {
        m_pointers.push_back(entry.c_str());
    }
    m_pointers.push_back(nullptr);
}
