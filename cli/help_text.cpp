#include "cli/help_text.h"

#include <cstdio>

#include "cli/device_limits.h"
#include "cli/option_values.h"
#include "profiles/catalogue.h"

namespace cli {

std::string HelpText() {
    std::string text =
        "Usage: lumicast-batch [OPTION]... FILE...\n"
        "Converts every FILE with the Lumicast encoder, as the Convert command of the window\n"
        "does, into FILE-cvt.EXT in the output folder. Every setting not given keeps what the\n"
        "source has (\"Keep Original\").\n"
        "\n"
        "Target:\n"
        "  --format NAME         mp4 (MPEG-4, the default) or mov (H.264); also dvd, vcd, svcd, "
        "dv\n"
        "  --standard NAME       ntsc (default), pal or film; only for dvd, vcd, svcd and dv\n"
        "Video:\n"
        "  --size WxH            frame size in pixels, for example 640x480\n"
        "  --device NAME         the frame size for a device, for example \"iPod nano\" or\n"
        "                        \"1080p phone\" (--list-devices shows them); every setting\n"
        "                        left at Keep Original is held within what the device plays\n"
        "                        (at most 30 fps, 2 channels, 48 kHz, its bit rates, its\n"
        "                        H.264 profile and level), and MPEG-4 above 640x480 is\n"
        "                        refused (use --format mov)\n"
        "  --rate FPS            frame rate: " +
        FrameRateNames() +
        "\n"
        "  --video-bitrate KBPS  " +
        VideoBitRateNames() +
        "\n"
        "  --vbr                 variable bit rate: --video-bitrate is the tolerance, with\n"
        "  --max KBPS            the highest and\n"
        "  --min KBPS            the lowest bit rate\n"
        "Audio:\n"
        "  --channels N          1 (mono) or 2 (stereo)\n"
        "  --audio-bitrate KBPS  " +
        AudioBitRateNames() +
        "\n"
        "  --sample-rate HZ      " +
        SampleRateNames() +
        "\n"
        "Size:\n"
        "  --target-size SIZE    each output holds at most SIZE, as close to it as the codec\n"
        "                        allows: 25M, 8MB, 700K, 1.5G (decimal units as file\n"
        "                        managers show them: 1M = 1000000 bytes; MiB for 1048576).\n"
        "                        The video rate follows from the part's length and the\n"
        "                        sound, in two passes. A file too long for SIZE at a\n"
        "                        watchable quality (below 100 kbit/s of video) fails\n"
        "                        before it is converted, naming the smallest size that\n"
        "                        fits. Not with --video-bitrate or --vbr\n"
        "Part of each file:\n"
        "  --start TIME          where to begin, in seconds (95) or as HH:MM:SS (00:01:35)\n"
        "  --end TIME            where to stop; the default is the end of each file\n"
        "Output:\n"
        "  --output DIR          the output folder (default: the one the window uses)\n"
        "  --jobs N              convert up to N files at once (1 to 64), or auto: as many\n"
        "                        as there are processors (the default)\n"
        "  --resume              run the same command again and convert only what its\n"
        "                        last run left unfinished (the journal beside the outputs)\n"
        "  --json                one JSON object per file on standard output, nothing else:\n"
        "                        {\"status\": \"Done\", \"source\": \"...\", \"output\": \"...\",\n"
        "                        \"encoder\": [\"note: ...\"]}, and \"cause\": \"...\" for a "
        "failed\n"
        "                        file whose cause is known (\"output\" is null for a file\n"
        "                        that cannot be read); with --target-size also\n"
        "                        \"target_size\" and, for Done, \"size\" (in bytes); bytes of\n"
        "                        a name that are not UTF-8 are written \\udc80 to \\udcff\n"
        "                        (Python reads them back with os.fsencode);\n"
        "                        \"time_left_seconds\" once the time left can be trusted,\n"
        "                        \"resumed\": true for a file converted by an earlier run\n"
        "\n"
        "  --list-devices        list the device names of --device and exit\n"
        "  -h, --help            show this text and exit\n"
        "  -V, --version         show the version and exit\n"
        "\n"
        "Each file ends with Done, Skip or Error and its output path (with --target-size,\n"
        "Done adds the size reached and its share of the limit), then, indented, the\n"
        "cause of an error when it is known (the disk is full, the output folder is gone or\n"
        "not writable, the source is gone, the encoder crashed or is missing) and the\n"
        "encoder's own lines for it (why it failed, what it changed, an early end). A file\n"
        "that cannot be read ends with Error, its own path and the cause (for example \"the\n"
        "file ends before its index: it was cut off while being written or copied\"). A\n"
        "control character or line break in a name is shown as ? or a blank there:\n"
        "scripts should read --json instead. The lines come in the order the files\n"
        "finish; the terminal line shows every running file and the time left. Ctrl-C\n"
        "stops every running file and skips the rest. Each batch keeps a journal in the\n"
        "output folder (.lumicast-batch-*.journal), so that --resume can go on after a\n"
        "crash or a kill.\n"
        "Exit status: 0 when every file is Done, 1 when any failed or was skipped, 2 when the\n"
        "command line is refused (nothing runs: also for a --max below the bit rate or a\n"
        "--start past a file's end), 130 after Ctrl-C (143 after SIGTERM).\n"
        "Set LUMICAST_LOG=FILE to write the diagnostic log, with every encoder command line.\n";
    return text;
}

std::string VersionText() {
    return "lumicast-batch " + std::to_string(LUMICAST_VERSION_MAJOR) + "." +
           std::to_string(LUMICAST_VERSION_MINOR) + "." + std::to_string(LUMICAST_VERSION_PATCH) +
           "\n";
}

std::string DeviceListText() {
    std::string text;
    for (const DeviceProfile& device : Devices()) {
        const DeviceFrame frame = FrameOf(device);
        char line[64];
        std::snprintf(line, sizeof(line), "%-16s %dx%d\n", device.szLabel, frame.nWidth,
                      frame.nHeight);
        text += line;
    }
    return text;
}

} // namespace cli
