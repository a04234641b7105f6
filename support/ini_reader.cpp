#include "support/ini_reader.h"

#include "support/text_chars.h"

#include "support/ini_file.h"
#include "support/utf16.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace tonvale {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

bool equalNoCase(const wchar_t* a, const wchar_t* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

std::wstring decodeUtf16Le(const unsigned char* bytes, size_t size) {
    std::wstring out;
    out.reserve(size / 2 + 3);
    for (size_t i = 0; i + 1 < size; i += 2)
        out.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    return out;
}

// The byte-order mark decides the encoding; without one the file is in the
// reader's code page. Big-endian UTF-16 is not recognised.
std::wstring decodeFile(uint32_t codePage, const char* data, size_t size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (size % 2 == 0 && size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return decodeUtf16Le(bytes + 2, size - 2);
    if (size > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return utf8ToWide(data + 3, size - 3);
    return ini_file::decode(codePage, data, size);
}

// Copies text[from, to) down to text[out]; returns the new write position.
size_t copyDown(std::wstring& text, size_t out, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        text[out++] = text[i];
    return out;
}

// Retains one line text[begin, end) (begin already past the leading blanks)
// in its normal form at text[out]; returns the new write position.
size_t normaliseEntryLine(std::wstring& text, size_t out, size_t begin, size_t end) {
    size_t equals = begin;
    while (equals < end && text[equals] != L'=')
        ++equals;
    size_t valueEnd = end;
    while (valueEnd > begin && isSpaceOrTab(text[valueEnd - 1]))
        --valueEnd;
    if (equals == end)
        return copyDown(text, out, begin, valueEnd);
    for (size_t i = begin; i < equals; ++i) {
        if (!isSpaceOrTab(text[i]))
            text[out++] = text[i];
    }
    text[out++] = L'=';
    size_t valueBegin = equals + 1;
    while (valueBegin < valueEnd && isSpaceOrTab(text[valueBegin]))
        ++valueBegin;
    return copyDown(text, out, valueBegin, std::max(valueBegin, valueEnd));
}

// Leaves only section lines "[name", entry lines "key=value" and other text
// lines after the first section, each ended by a single line feed. Works in
// place: the write position never passes the read position.
void normalise(std::wstring& text) {
    text.append(L"\r\n");
    text.erase(std::remove(text.begin(), text.end(), L'\r'), text.end());

    size_t out = 0;
    bool retained = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        size_t begin = pos;
        pos = end + 1;
        while (begin < end && isSpaceOrTab(text[begin]))
            ++begin;
        if (begin == end || text[begin] == L';')
            continue;
        if (text[begin] == L'[') {
            size_t close = begin;
            while (close < end && text[close] != L']')
                ++close;
            out = copyDown(text, out, begin, close);
        } else if (!retained) {
            continue; // lines before the first section are ignored
        } else {
            out = normaliseEntryLine(text, out, begin, end);
        }
        text[out++] = L'\n';
        retained = true;
    }
    text.resize(out);
}

} // namespace

struct IniReader::State {
    uint32_t codePage = 0;
    bool loaded = false;
    std::wstring text; // normalised; every line ends with '\n'
    bool indexed = false;
    std::vector<size_t> sections; // start of every section line, text order
    size_t bodyStart = kNone;     // selected section's body, [bodyStart, bodyEnd)
    size_t bodyEnd = kNone;
    size_t cursor = kNone; // line after the last key found

    size_t lineEnd(size_t pos) const { return text.find(L'\n', pos); }

    void buildIndex() {
        if (indexed)
            return;
        for (size_t pos = 0; pos < text.size(); pos = lineEnd(pos) + 1) {
            if (text[pos] == L'[')
                sections.push_back(pos);
        }
        indexed = true;
    }

    void deselect() { bodyStart = bodyEnd = cursor = kNone; }

    // Index in sections of the first section named name, or kNone.
    size_t findSection(const std::wstring& name) {
        buildIndex();
        for (size_t i = 0; i < sections.size(); ++i) {
            size_t nameStart = sections[i] + 1;
            if (lineEnd(nameStart) - nameStart == name.size() &&
                equalNoCase(text.data() + nameStart, name.data(), name.size()))
                return i;
        }
        return kNone;
    }

    bool select(const std::wstring& name) {
        deselect();
        size_t i = findSection(name);
        if (i == kNone)
            return false;
        bodyStart = lineEnd(sections[i]) + 1;
        bodyEnd = i + 1 < sections.size() ? sections[i + 1] : text.size();
        return true;
    }

    // The line in [from, to) whose key is key, or kNone.
    size_t scanForKey(const std::wstring& key, size_t from, size_t to) const {
        for (size_t line = from; line < to; line = lineEnd(line) + 1) {
            size_t end = lineEnd(line);
            if (end - line > key.size() && text[line + key.size()] == L'=' &&
                equalNoCase(text.data() + line, key.data(), key.size()))
                return line;
        }
        return kNone;
    }

    // Finds key from the cursor to the end of the body, then from the body's
    // start to the cursor; moves the cursor past the hit. Returns the value
    // as [valueStart, valueEnd) without its enclosing quotes.
    bool findValue(const char* key, size_t& valueStart, size_t& valueEnd) {
        if (bodyStart == kNone)
            return false;
        std::wstring wideKey = widenAscii(key);
        size_t line = kNone;
        if (cursor == kNone) {
            line = scanForKey(wideKey, bodyStart, bodyEnd);
        } else {
            line = scanForKey(wideKey, cursor, bodyEnd);
            if (line == kNone)
                line = scanForKey(wideKey, bodyStart, cursor);
        }
        if (line == kNone)
            return false;
        valueStart = line + wideKey.size() + 1;
        valueEnd = lineEnd(line);
        cursor = valueEnd + 1;
        if (valueEnd - valueStart >= 2 && text[valueStart] == L'"' && text[valueEnd - 1] == L'"') {
            ++valueStart;
            --valueEnd;
        }
        return true;
    }

    bool remove(const std::wstring& name) {
        size_t i = findSection(name);
        if (i == kNone)
            return false;
        size_t start = sections[i];
        size_t end = i + 1 < sections.size() ? sections[i + 1] : text.size();
        text.erase(start, end - start);
        sections.erase(sections.begin() + static_cast<std::ptrdiff_t>(i));
        for (size_t k = i; k < sections.size(); ++k)
            sections[k] -= end - start;
        deselect();
        return true;
    }

    size_t dumpLength() {
        buildIndex();
        return text.size() + sections.size();
    }
};

IniReader::IniReader(uint32_t codePage) : state_(new State) {
    state_->codePage = codePage;
}

IniReader::~IniReader() = default;

bool IniReader::load(const wchar_t* path) {
    if (state_->loaded || !path)
        return false;
    std::string bytes;
    try {
        if (!ini_file::readAll(path, bytes))
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return loadBytes(bytes.data(), bytes.size());
}

bool IniReader::loadBytes(const void* data, size_t size) {
    State& s = *state_;
    if (s.loaded)
        return false;
    if (!data || size == 0 || size > static_cast<size_t>(INT32_MAX))
        return false;
    s.loaded = true;
    s.indexed = false;
    s.sections.clear();
    s.deselect();
    try {
        s.text = decodeFile(s.codePage, static_cast<const char*>(data), size);
        // A NUL ends the text: names and values are handed out NUL-terminated.
        size_t nul = s.text.find(L'\0');
        if (nul != std::wstring::npos)
            s.text.resize(nul);
        normalise(s.text);
    } catch (const std::bad_alloc&) {
        std::wstring().swap(s.text);
    }
    return !s.text.empty();
}

bool IniReader::selectSection(const wchar_t* name) {
    return state_->select(name ? std::wstring(name) : std::wstring());
}

bool IniReader::selectSection(const char* name) {
    return state_->select(widenAscii(name));
}

void IniReader::getString(const char* key, const wchar_t* defaultValue, wchar_t* buffer,
                          size_t capacity) {
    if (!buffer || capacity == 0)
        return;
    size_t start = 0;
    size_t end = 0;
    const wchar_t* source = nullptr;
    size_t length = 0;
    if (state_->findValue(key, start, end)) {
        source = state_->text.data() + start;
        length = end - start;
    } else if (defaultValue) {
        source = defaultValue;
        while (source[length])
            ++length;
    }
    length = std::min(length, capacity - 1);
    if (length)
        std::memmove(buffer, source, length * sizeof(wchar_t));
    buffer[length] = L'\0';
}

std::wstring IniReader::getString(const char* key, const wchar_t* defaultValue, size_t maxChars) {
    size_t start = 0;
    size_t end = 0;
    std::wstring value;
    if (state_->findValue(key, start, end))
        value.assign(state_->text, start, end - start);
    else if (defaultValue)
        value = defaultValue;
    if (value.size() > maxChars)
        value.resize(maxChars);
    return value;
}

int32_t IniReader::getInt(const char* key, int32_t defaultValue) {
    size_t pos = 0;
    size_t end = 0;
    if (!state_->findValue(key, pos, end))
        return defaultValue;
    const std::wstring& text = state_->text;
    bool negative = false;
    if (pos < end && (text[pos] == L'+' || text[pos] == L'-')) {
        negative = text[pos] == L'-';
        ++pos;
    }
    if (pos == end || text[pos] < L'0' || text[pos] > L'9')
        return defaultValue;
    // Unsigned arithmetic wraps without undefined behaviour.
    uint32_t value = 0;
    for (; pos < end && text[pos] >= L'0' && text[pos] <= L'9'; ++pos)
        value = value * 10u + static_cast<uint32_t>(text[pos] - L'0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t IniReader::sectionNames(wchar_t* buffer, int32_t capacity) {
    State& s = *state_;
    if (!buffer || capacity < 0)
        capacity = 0;
    s.buildIndex();
    size_t needed = 0;
    for (size_t start : s.sections)
        needed += s.lineEnd(start) - start; // the name and its NUL
    if (needed + 2 > static_cast<size_t>(capacity))
        return capacity - 2;
    size_t out = 0;
    for (size_t start : s.sections) {
        size_t end = s.lineEnd(start);
        for (size_t i = start + 1; i < end; ++i)
            buffer[out++] = s.text[i];
        buffer[out++] = L'\0';
    }
    buffer[out] = L'\0';
    return static_cast<int32_t>(out);
}

bool IniReader::deleteSection(const wchar_t* name) {
    return state_->remove(name ? std::wstring(name) : std::wstring());
}

bool IniReader::deleteSection(const char* name) {
    return state_->remove(widenAscii(name));
}

int32_t IniReader::dump(wchar_t* buffer, int32_t capacity) {
    State& s = *state_;
    size_t needed = s.dumpLength();
    if (needed > static_cast<size_t>(INT32_MAX))
        return INT32_MAX;
    if (!buffer || capacity < 0 || needed >= static_cast<size_t>(capacity))
        return static_cast<int32_t>(needed);
    size_t out = 0;
    for (size_t line = 0; line < s.text.size();) {
        size_t end = s.lineEnd(line);
        for (size_t i = line; i < end; ++i)
            buffer[out++] = s.text[i];
        if (s.text[line] == L'[')
            buffer[out++] = L']';
        buffer[out++] = L'\n';
        line = end + 1;
    }
    buffer[out] = L'\0';
    return static_cast<int32_t>(out);
}

std::wstring IniReader::dump() {
    std::wstring out(state_->dumpLength(), L'\0');
    if (!out.empty())
        dump(&out[0], static_cast<int32_t>(out.size() + 1));
    return out;
}

} // namespace tonvale
