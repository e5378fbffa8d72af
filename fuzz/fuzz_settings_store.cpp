// The settings store (support/reg_text, support/registry_store): any bytes in the settings file.
// Properties: what was read, written out again, reads back the same with no damaged line, and
// writing it again gives the same text.
#include "fuzz_check.h"
#include "support/reg_text.h"
#include "support/registry_store.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

bool SameValue(const RegValue& a, const RegValue& b) {
    if (a.strName != b.strName || a.type != b.type) {
        return false;
    }
    switch (a.type) {
    case RegValueType::String:
        return a.strText == b.strText;
    case RegValueType::Dword:
        return a.nDword == b.nDword;
    case RegValueType::Other:
        return a.strRaw == b.strRaw;
    }
    return false;
}

bool SameDocument(const RegDocument& a, const RegDocument& b) {
    if (a.sections.size() != b.sections.size()) {
        return false;
    }
    for (std::size_t s = 0; s < a.sections.size(); ++s) {
        const RegSection& x = a.sections[s];
        const RegSection& y = b.sections[s];
        if (x.strPath != y.strPath || x.values.size() != y.values.size()) {
            return false;
        }
        for (std::size_t v = 0; v < x.values.size(); ++v) {
            if (!SameValue(x.values[v], y.values[v])) {
                return false;
            }
        }
    }
    return true;
}

// The store file, as a memory file reached by its /proc path.
int g_nStoreFd = -1;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);

    RegDocument doc = ParseRegText(text);
    const std::string written = FormatRegText(doc);
    const RegDocument reread = ParseRegText(written);
    FUZZ_CHECK(reread.nDamagedLines == 0);
    FUZZ_CHECK(SameDocument(doc, reread));
    FUZZ_CHECK(FormatRegText(reread) == written);

    // Look-ups and changes on whatever was read, as the settings code makes them.
    for (const RegSection& section : reread.sections) {
        FUZZ_CHECK(FindRegSection(reread, section.strPath) != nullptr);
        for (const RegValue& value : section.values) {
            FUZZ_CHECK(FindRegValue(section, value.strName) != nullptr);
        }
    }
    RegValue value;
    value.strName = "OutputPath";
    value.strText = std::string(text.substr(0, 64)); // a path: any bytes but zero
    std::erase(value.strText, '\0');
    PutRegValue(doc, "HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast", value);
    const RegDocument changed = ParseRegText(FormatRegText(doc));
    FUZZ_CHECK(changed.nDamagedLines == 0);
    const RegSection* app =
        FindRegSection(changed, "hkey_local_machine\\software\\velmora\\lumicast");
    FUZZ_CHECK(app != nullptr);
    const RegValue* stored = FindRegValue(*app, "outputpath");
    FUZZ_CHECK(stored != nullptr && stored->type == RegValueType::String &&
               stored->strText == value.strText);

    // The store reader on a file with these bytes. It makes a buffer of the largest file size
    // (16 MB) for every read, which takes far longer than the parse, so only one input in 1,024
    // goes through it.
    if (fuzz::InputHash(data, size) % 1024 == 0) {
        if (g_nStoreFd < 0) {
            g_nStoreFd = memfd_create("settings.reg", 0);
            FUZZ_CHECK(g_nStoreFd >= 0);
        }
        FUZZ_CHECK(ftruncate(g_nStoreFd, 0) == 0);
        FUZZ_CHECK(pwrite(g_nStoreFd, data, size, 0) == static_cast<ssize_t>(size));
        RegDocument fromFile;
        const StoreRead read =
            ReadRegistryStore("/proc/self/fd/" + std::to_string(g_nStoreFd), fromFile);
        FUZZ_CHECK(read == StoreRead::Read);
        FUZZ_CHECK(fromFile.nDamagedLines == doc.nDamagedLines);
        FUZZ_CHECK(SameDocument(fromFile, ParseRegText(text)));
    }
    return 0;
}
