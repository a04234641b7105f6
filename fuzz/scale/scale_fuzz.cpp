// Builds every section of an arbitrary "scale.ini" in every key, describes
// it, and checks that what a rejected-or-not temperament hands out is sane.
// Floating-point traps are on, as in the tuner, so arithmetic on user
// numbers outside the masked parser would crash here.
#include "support/ini_reader.h"
#include "support/ui_text.h"
#include "tuning/float_guard.h"
#include "tuning/ratio_expression.h"
#include "tuning/temperament.h"
#include "tuning/temperament_digest.h"

#include <fenv.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace tonvale;

constexpr size_t kMaxSections = 6; // keeps one input under a few milliseconds

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkTemperament(const Temperament& t) {
    check(t.key() >= kMinKey && t.key() <= kMaxKey);
    check(t.position(0) == 0.0 && t.position(12) == 1200.0);
    for (int k = 0; k <= 12; ++k)
        check(std::isfinite(t.position(k)) && std::fabs(t.position(k)) <= 3 * kStepLimitCents);
    for (double x : {0.0, 0.5, 599.999, 600.0, 1199.999}) {
        NearestNote note = t.nearestNote(x);
        check(note.pitchClass >= 0 && note.pitchClass < 12 && std::isfinite(note.cents));
        check(note.octaveCarry == 0 || (note.octaveCarry == 1 && note.pitchClass == 0));
    }
    for (int k = 0; k < 12; ++k)
        check(std::isfinite(t.offset(k)));
    std::wstring label = t.keyLabel();
    check(t.name().empty() || !label.empty());
    NoteSpelling names = t.spelling();
    for (int k = 0; k < 12; ++k)
        check(names[k][0] != L'\0');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    loadTable(kEnglishTable);
    feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniReader file;
    file.loadBytes(data, size);
    std::optional<TemperamentDigest> sections = digest(file);
    if (!sections)
        return 0;
    size_t built = 0;
    for (const DigestEntry& entry : *sections) {
        if (++built > kMaxSections)
            break;
        const wchar_t* name = entry.name.c_str();
        ScaleSteps steps = parseSteps(file, name);
        check(steps.result >= kRejectedScale && steps.result <= 9);
        for (int key = kMinKey; key <= kMaxKey; ++key) {
            Temperament t(file, name, key);
            check(t.isRejected() == (steps.result == kRejectedScale && entry.name.size() > 0));
            checkTemperament(t);
            check(!describe(file, name, key).empty());
        }
    }
    // The raw text as one ratio expression.
    std::wstring text(data, data + size);
    double value = 0.0;
    FloatExceptionMask masked;
    evaluateRatio(text.c_str(), &value);
    return 0;
}
