#include "engine/encoder_start.h"

#include <cstring>

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
