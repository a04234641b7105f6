#include "support/ini_writer.h"

#include "support/ini_file.h"
#include "support/text_chars.h"

#include <climits>

namespace tonvale {
namespace {

constexpr size_t kMaxSectionChars = 127;
constexpr size_t kFlushBytes = 16384;

size_t lengthOf(const wchar_t* text) {
    size_t length = 0;
    if (text) {
        while (text[length])
            ++length;
    }
    return length;
}

void appendUnit(std::string& bytes, uint32_t unit) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

void appendUtf16Le(std::string& bytes, const wchar_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        auto unit = static_cast<uint32_t>(text[i]);
        if (unit > 0xFFFF && unit <= 0x10FFFF) { // a 32-bit wchar_t beyond the BMP
            unit -= 0x10000;
            appendUnit(bytes, 0xD800 + (unit >> 10));
            appendUnit(bytes, 0xDC00 + (unit & 0x3FF));
        } else {
            appendUnit(bytes, unit);
        }
    }
}

} // namespace

struct IniWriter::State {
    uint32_t codePage = 0;
    IniEncoding encoding = IniEncoding::Utf16;
    std::unique_ptr<ini_file::OutputFile> file;
    std::wstring temporary;
    std::wstring pendingSection;
    std::string buffered; // bytes not yet handed to the file
    bool writeFailed = false;

    void flushBuffer() {
        if (file && !buffered.empty() && !file->write(buffered.data(), buffered.size()))
            writeFailed = true;
        buffered.clear();
    }

    void line(const wchar_t* text, size_t length) {
        if (!file)
            return;
        if (encoding == IniEncoding::Utf16) {
            appendUtf16Le(buffered, text, length);
            appendUtf16Le(buffered, L"\r\n", 2);
        } else {
            buffered += ini_file::encodeAnsi(text, length);
            buffered += "\r\n";
        }
        if (buffered.size() >= kFlushBytes)
            flushBuffer();
    }

    void writePendingHeader() {
        if (pendingSection.empty())
            return;
        std::wstring header = L"[" + pendingSection + L"]";
        pendingSection.clear();
        line(header.data(), header.size());
    }
};

IniWriter::IniWriter(uint32_t codePage) : state_(new State) {
    state_->codePage = codePage;
}

IniWriter::~IniWriter() {
    close();
}

bool IniWriter::temporaryPath(const std::wstring& target, std::wstring& temporary) {
    size_t separator = target.find_last_of(L"\\/");
    size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    if (target.size() - nameStart < 4)
        return false;
    temporary = target;
    size_t dot = temporary.find_last_of(L'.');
    if (dot != std::wstring::npos && dot >= nameStart)
        temporary[dot] = L'_';
    temporary.replace(temporary.size() - 4, 4, L".tmp");
    return true;
}

bool IniWriter::open(const wchar_t* targetPath, IniEncoding encoding) {
    close();
    State& s = *state_;
    s.encoding = encoding;
    s.pendingSection.clear();
    s.buffered.clear();
    s.writeFailed = false;
    if (!targetPath || !temporaryPath(targetPath, s.temporary))
        return false;
    s.file = ini_file::createOutput(s.temporary);
    if (!s.file)
        return false;
    if (encoding == IniEncoding::Utf16)
        s.buffered = "\xFF\xFE";
    else if (ini_file::ansiCodePage() == ini_file::kUtf8CodePage)
        s.buffered = "\xEF\xBB\xBF";
    return true;
}

void IniWriter::setSection(const char* name) {
    std::wstring& pending = state_->pendingSection;
    pending.clear();
    for (; name && *name && pending.size() < kMaxSectionChars; ++name)
        pending.push_back(widenChar(*name));
}

void IniWriter::writeString(const char* key, const wchar_t* value) {
    State& s = *state_;
    if (!s.file)
        return;
    s.writePendingHeader();
    std::wstring text;
    for (; key && *key; ++key)
        text.push_back(widenChar(*key));
    text.push_back(L'=');
    text.append(value ? value : L"");
    s.line(text.data(), text.size());
}

void IniWriter::writeText(const wchar_t* text) {
    State& s = *state_;
    size_t length = lengthOf(text);
    if (!s.file || length == 0)
        return;
    size_t start = 0;
    while (start < length) {
        size_t end = start;
        while (end < length && text[end] != L'\n')
            ++end;
        s.line(text + start, end - start);
        start = end + 1;
    }
}

int32_t IniWriter::commit(const wchar_t* targetPath) {
    State& s = *state_;
    if (!s.file)
        return -1;
    s.flushBuffer();
    int64_t size = s.file->finish();
    s.file.reset();
    // A file that did not reach the disk whole must not replace the old one.
    if (size < 0 || size > INT32_MAX || s.writeFailed || !targetPath)
        return -1;
    if (!ini_file::replaceFile(s.temporary, targetPath))
        return -1;
    return static_cast<int32_t>(size);
}

void IniWriter::close() {
    State& s = *state_;
    if (s.file) {
        s.flushBuffer();
        s.file.reset();
    }
}

} // namespace tonvale
