#include "media/target_checks.h"

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "media/media_components.h"

namespace media {
namespace {

// Asks whether to download; on OK runs the download command and shows the restart notice.
void OfferDownload(ITargetCheckHost& host, int question, int command, int notice) {
    if (host.AskOkCancel(LoadResString(question))) {
        host.RunDownloadCommand(command);
        host.ShowNotice(LoadResString(notice));
    }
}

} // namespace

bool CheckWindowsMediaTarget(ITargetCheckHost& host) {
    int major = 0;
    int minor = 0;
    GetWindowsMediaVersion(major, minor);
    if (major >= 9 && WindowsMediaWriterAvailable()) {
        return false;
    }
    OfferDownload(host, ids::kStrNeedMediaPlayer, ids::kCmdMediaPlayer, ids::kStrRestartAfterWmp);
    return true;
}

bool CheckOggTarget(ITargetCheckHost& host) {
    if (OggCodecAvailable()) {
        return false;
    }
    OfferDownload(host, ids::kStrNeedOggCodec, ids::kCmdOggCodec, ids::kStrRestartAfterOgg);
    return true;
}

bool CheckTargetComponents(int targetIndex, ITargetCheckHost& host) {
    switch (targetIndex) {
    case kTargetWmv:
        return CheckWindowsMediaTarget(host);
    case kTargetOgm:
        return CheckOggTarget(host);
    default:
        return false;
    }
}

} // namespace media
