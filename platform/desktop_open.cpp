#include "platform/desktop_open.h"

#include <utility>

namespace platform {

LaunchResult OpenWithDesktop(const std::string& strTarget, LaunchEndFunction fnEnd) {
    const std::string strArgument =
        (!strTarget.empty() && strTarget[0] == '-') ? "./" + strTarget : strTarget;
    return LaunchDetached({kDesktopHandlerProgram, strArgument}, std::move(fnEnd));
}

} // namespace platform
