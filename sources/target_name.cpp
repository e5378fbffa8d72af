#include "sources/target_name.h"

#include "support/utf8_cut.h"

std::string TargetBaseName(const std::string& strTitle, const std::string& strSuffix, int n,
                           const std::string& strExtension, std::size_t nNameMax) {
    std::string tail;
    if (!strSuffix.empty()) {
        tail = "-" + strSuffix;
    }
    if (n > 0) {
        tail += "[" + std::to_string(n) + "]";
    }
    const std::size_t nFixed = tail.size() + 1 + strExtension.size();
    const std::size_t nRoom = nNameMax > nFixed ? nNameMax - nFixed : 0;
    return CutUtf8(strTitle, nRoom) + tail;
}
