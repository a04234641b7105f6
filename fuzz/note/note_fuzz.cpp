// Builds every section of an arbitrary "note.ini" without a temperament and
// with temperaments of several keys and spellings, and expands both formats
// for all twelve notes into buffers of several sizes.
#include "support/ini_reader.h"
#include "tuning/note_naming.h"
#include "tuning/temperament.h"
#include "tuning/temperament_digest.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tonvale;

constexpr size_t kMaxSections = 8;

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Temperaments whose spellings start anywhere on the line of fifths.
std::vector<Temperament> temperaments(const uint8_t* data, size_t size) {
    static const char kChains[] = "[P]\nScale=PYTHAGOREAN0\n[Q]\nScale=PYTHAGOREAN9\n";
    IniReader chains;
    chains.loadBytes(kChains, sizeof kChains - 1);
    int key = size > 0 ? data[0] % 23 - 11 : 0;
    return {Temperament(0), Temperament(chains, L"P", key), Temperament(chains, L"Q", -key),
            Temperament(chains, L"Q", kMinKey), Temperament(chains, L"P", kMaxKey)};
}

void checkNaming(const NoteNaming& naming) {
    check(naming.shift() >= -11 && naming.shift() <= 11);
    check(naming.format1().size() <= kFormatChars && naming.format2().size() <= kFormatChars);
    for (int k = 0; k < 12; ++k) {
        check(std::wcslen(naming.subtitle(k)) <= kSubtitleChars);
        int sounding = naming.soundingIndex(k, true);
        check(sounding >= 0 && sounding < 12);
        for (int which = 0; which < 2; ++which) {
            for (size_t capacity : {size_t{1}, size_t{2}, size_t{5}, size_t{128}}) {
                std::vector<wchar_t> buffer(capacity + 1, L'#');
                bool expanded = naming.expand(which, k, buffer.data(), capacity);
                check(buffer[capacity] == L'#'); // nothing written past the capacity
                size_t length = std::wcslen(buffer.data());
                check(length < capacity && expanded == (length > 0));
            }
        }
    }
    for (int n = -12; n <= 143; ++n) {
        int written = naming.writtenNote(n);
        check(written >= -12 && written <= 143);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniReader file;
    file.loadBytes(data, size);
    std::optional<TemperamentDigest> sections = digest(file);
    if (!sections)
        return 0;
    std::vector<Temperament> keys = temperaments(data, size);
    size_t built = 0;
    for (const DigestEntry& entry : *sections) {
        if (++built > kMaxSections)
            break;
        NoteNaming plain(file, entry.name.c_str(), defaultSpelling(), nullptr);
        checkNaming(plain);
        check(plain.displaySpelling(defaultSpelling(), nullptr) == defaultSpelling());
        for (const Temperament& t : keys) {
            NoteSpelling current = t.spelling();
            NoteNaming naming(file, entry.name.c_str(), current, &t);
            checkNaming(naming);
            NoteSpelling shown = naming.displaySpelling(current, &t);
            for (int k = 0; k < 12; ++k)
                check(shown[k][0] != L'\0');
        }
    }
    return 0;
}
