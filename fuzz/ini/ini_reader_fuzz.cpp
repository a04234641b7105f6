// Loads arbitrary bytes as an INI file, queries every section, and checks that
// the normalised text is a fixed point: reading its dump gives the same dump.
#include "support/ini_reader.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using tonvale::IniReader;

void check(bool condition) {
    if (!condition)
        std::abort();
}

std::string utf16Le(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        auto unit = static_cast<uint32_t>(c) & 0xFFFF;
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::vector<std::wstring> sectionNames(IniReader& reader) {
    std::vector<wchar_t> buffer(2);
    int32_t count = reader.sectionNames(buffer.data(), static_cast<int32_t>(buffer.size()));
    while (count == static_cast<int32_t>(buffer.size()) - 2) {
        buffer.resize(buffer.size() * 2 + 16);
        count = reader.sectionNames(buffer.data(), static_cast<int32_t>(buffer.size()));
    }
    std::vector<std::wstring> names;
    for (int32_t i = 0; i < count;) {
        names.emplace_back(buffer.data() + i);
        i += static_cast<int32_t>(names.back().size()) + 1;
    }
    check(buffer[static_cast<size_t>(count)] == L'\0');
    return names;
}

// Keys of the entry lines in the dump that can be passed as 8-bit strings.
std::vector<std::string> keysOf(const std::wstring& dump) {
    std::vector<std::string> keys;
    size_t line = 0;
    while (line < dump.size() && keys.size() < 64) {
        size_t end = dump.find(L'\n', line);
        size_t equals = dump.find(L'=', line);
        if (dump[line] != L'[' && equals < end) {
            std::string key;
            for (size_t i = line; i < equals && key.size() < 64; ++i)
                key.push_back(static_cast<char>(dump[i] > 0 && dump[i] < 0x100 ? dump[i] : 'x'));
            keys.push_back(key);
        }
        line = end + 1;
    }
    keys.push_back("");
    keys.push_back("WindowPosition");
    return keys;
}

void queryEverything(IniReader& reader, const std::vector<std::wstring>& names,
                     const std::vector<std::string>& keys) {
    wchar_t small[3];
    for (const std::wstring& name : names) {
        check(reader.selectSection(name.c_str()));
        for (const std::string& key : keys) {
            std::wstring text = reader.getString(key.c_str(), L"dflt", 1000);
            check(text.find(L'\n') == std::wstring::npos);
            reader.getString(key.c_str(), L"default", small, sizeof small / sizeof small[0]);
            check(small[2] == L'\0' || small[1] == L'\0' || small[0] == L'\0');
            reader.getInt(key.c_str(), -1);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniReader first;
    first.loadBytes(data, size);
    std::wstring dump = first.dump();
    std::vector<std::wstring> names = sectionNames(first);
    queryEverything(first, names, keysOf(dump));

    int32_t needed = first.dump(nullptr, 0);
    check(needed == static_cast<int32_t>(dump.size()));

    std::string bytes = utf16Le(dump);
    IniReader second;
    second.loadBytes(bytes.data(), bytes.size());
    check(second.dump() == dump);
    check(sectionNames(second) == names);

    if (!names.empty()) {
        check(first.deleteSection(names.back().c_str()));
        std::wstring shorter = first.dump();
        check(shorter.size() < dump.size());
        std::string again = utf16Le(shorter);
        IniReader third;
        third.loadBytes(again.data(), again.size());
        check(third.dump() == shorter);
        check(sectionNames(third) == sectionNames(first));
    }
    return 0;
}
