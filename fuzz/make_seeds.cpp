// Writes the fuzz seeds that are made rather than kept: executable images with a version record,
// a settings file, the texts of the built-in string table as format texts, and encoder output cut
// into chunks. Usage: fuzz_make_seeds <folder>; each target's seeds go into <folder>/<target>/.
#include "lang/resource_strings.h"
#include "support/helpers/image_builder.h"
#include "support/reg_text.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

bool g_bFailed = false;

void Write(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
        g_bFailed = true;
    }
}

Bytes FromText(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void VersionSeeds(const fs::path& folder) {
    using namespace image_test;
    const Bytes record = VersionRecord(Info(6, 5, 2600, 0));
    Write(folder, "record.bin", record);
    Write(folder, "record-short-key.bin", VersionRecord(Info(1, 2, 3, 4), u"AB"));
    Write(folder, "pe32plus.bin", PeImage(record));
    Write(folder, "pe32.bin", PeImage(record, {false, true, 16, false}));
    Write(folder, "pe-named-first.bin", PeImage(record, {true, true, 16, true}));
    Write(folder, "pe-no-version.bin", PeImage(record, {true, true, 3, false}));
    Write(folder, "elf.bin", ElfImage(record));
}

void SettingsSeeds(const fs::path& folder) {
    const std::string key = "HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast";
    RegDocument doc;
    RegValue path;
    path.strName = "OutputPath";
    path.strText = "/home/ann/Converted \"Media\"\\\n/";
    PutRegValue(doc, key, path);
    RegValue language;
    language.strName = "Language";
    language.type = RegValueType::Dword;
    language.nDword = 0x804;
    PutRegValue(doc, key, language);
    RegValue tips;
    tips.strName = "HiddenToolTips";
    tips.type = RegValueType::Dword;
    PutRegValue(doc, key, tips);
    RegValue binary;
    binary.strName = "Window";
    binary.type = RegValueType::Other;
    binary.strRaw = "hex:00,01,02,\\\n  03,04";
    PutRegValue(doc, key + "\\Placement", binary);
    RegValue standard;
    standard.strText = "default";
    PutRegValue(doc, "HKEY_CLASSES_ROOT\\.htm", standard);
    Write(folder, "settings.reg", FromText(FormatRegText(doc)));
}

// The format target reads its arguments from the end of the input (one count byte, then a kind
// byte and the value for each): every seed gets that many numbers.
void FormatSeeds(const fs::path& folder) {
    int n = 0;
    for (const auto& [id, text] : BuiltinEnglish().strings) {
        if (text.find('%') == std::string::npos) {
            continue;
        }
        Bytes seed = FromText(text);
        Bytes tail;        // in the order the target takes it
        tail.push_back(3); // three arguments
        for (const std::uint8_t value : {std::uint8_t{7}, std::uint8_t{42}, std::uint8_t{200}}) {
            tail.push_back(0); // an int
            tail.insert(tail.end(), {value, 0, 0, 0});
        }
        seed.insert(seed.end(), tail.rbegin(), tail.rend());
        Write(folder, "string-" + std::to_string(id), seed);
        ++n;
    }
    if (n == 0) {
        std::fprintf(stderr, "no format texts in the string table\n");
        g_bFailed = true;
    }
}

// Duration (8 bytes), percent shown, the chunk of the Skip, then chunks of one length byte, one
// clock step byte (times 8 ms) and the bytes.
void ProgressSeeds(const fs::path& folder) {
    const auto seed = [](std::uint64_t duration, const std::vector<std::string>& chunks,
                         std::uint8_t step) {
        Bytes bytes;
        for (int i = 0; i < 8; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(duration >> (8 * i)));
        }
        bytes.push_back(0); // nothing shown yet
        bytes.push_back(0); // no Skip
        for (const std::string& chunk : chunks) {
            bytes.push_back(static_cast<std::uint8_t>(chunk.size()));
            bytes.push_back(step);
            bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        }
        return bytes;
    };
    const std::string status = "frame=  123 fps= 25 q=3.0 size=     512kB time=";
    std::vector<std::string> run;
    for (int t = 0; t <= 95; t += 5) {
        run.push_back(status + std::to_string(t) + ".40 bitrate= 340.2kbits/s\r");
    }
    Write(folder, "status-lines", seed(95, run, 70));
    Write(folder, "status-lines-fast", seed(95, run, 10));
    Write(folder, "cut-lines",
          seed(30,
               {"Input #0, avi\nDuration: 00:00:30.00\nframe=1 ti", "me=12.5 bitrate=1\n",
                "time=   29 \ntime=abc"},
               100));
}

// Exec lines of browsers' desktop entries as distributions ship them, and argument vectors in the
// target's zero-separated form (the first text's length picks the field code that follows).
void ExecSeeds(const fs::path& folder) {
    const char* const kLines[] = {
        "/usr/lib/firefox-esr/firefox-esr %u",
        "chromium %U",
        "\"/opt/Brave Software/brave\" --incognito \"%U\"",
        "env \"BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/firefox.desktop\" "
        "/snap/bin/firefox %u",
        "flatpak run --branch=stable --command=firefox --file-forwarding org.mozilla.firefox @@u "
        "%u @@",
        "sh -c \"echo \\\"\\$HOME\\\" \\`date\\` 100%%\" %i %c %k",
        "\t epiphany\t%F  ",
        "\"unterminated %u",
    };
    int n = 0;
    for (const char* line : kLines) {
        Write(folder, "line-" + std::to_string(++n), FromText(line));
    }
    const std::string fields[] = {
        std::string("/usr/bin/browser\0--new-window\0", 30),
        std::string("a\0\0\"q\" `b` $c \\ %u 100%\0\t \0-", 28),
        std::string("prog\0\xff\xfe\x01\0", 9),
    };
    for (const std::string& text : fields) {
        Write(folder, "fields-" + std::to_string(++n), FromText(text));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    VersionSeeds(root / "fuzz_file_version");
    SettingsSeeds(root / "fuzz_settings_store");
    FormatSeeds(root / "fuzz_format_text");
    ProgressSeeds(root / "fuzz_progress_parser");
    ExecSeeds(root / "fuzz_exec_line");
    return g_bFailed ? 1 : 0;
}
