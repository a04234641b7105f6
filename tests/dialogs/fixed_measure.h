// A text measure with a fixed rule, so layouts can be worked out by hand:
// every UTF-16 unit is 6 pixels wide (a mnemonic "&" is not drawn, "&&"
// draws one), a line is 13 pixels high, lines break at "\n", and wrapped
// text breaks greedily at blanks (a word longer than the line stands alone).
#pragma once

#include "dialogs/builder/text_measure.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tonvale {

class FixedMeasure final : public TextMeasure {
  public:
    static constexpr int kCharWidth = 6;
    static constexpr int kLineHeight = 13;

    TextExtent textExtent(const wchar_t* text, TextPrefix prefix) const override {
        TextExtent extent;
        for (const std::wstring& line : lines(text))
            extent.width = std::max(extent.width, lineWidth(line, prefix));
        extent.height = static_cast<int>(lines(text).size()) * kLineHeight;
        return extent;
    }

    TextExtent wrappedExtent(const wchar_t* text, int maxWidth, TextPrefix prefix) const override {
        TextExtent extent;
        int lineCount = 0;
        for (const std::wstring& line : lines(text)) {
            std::wstring current;
            size_t start = 0;
            do {
                size_t end = line.find(L' ', start);
                std::wstring word =
                    line.substr(start, end == std::wstring::npos ? end : end - start);
                std::wstring joined = current.empty() ? word : current + L" " + word;
                if (!current.empty() && lineWidth(joined, prefix) > maxWidth) {
                    extent.width = std::max(extent.width, lineWidth(current, prefix));
                    ++lineCount;
                    current = word;
                } else {
                    current = joined;
                }
                start = end == std::wstring::npos ? end : end + 1;
            } while (start != std::wstring::npos);
            extent.width = std::max(extent.width, lineWidth(current, prefix));
            ++lineCount;
        }
        extent.height = lineCount * kLineHeight;
        return extent;
    }

    int screenWidth() const override { return 1024; }

  private:
    static std::vector<std::wstring> lines(const wchar_t* text) {
        std::vector<std::wstring> result(1);
        for (const wchar_t* c = text; c && *c; ++c) {
            if (*c == L'\n')
                result.emplace_back();
            else
                result.back() += *c;
        }
        return result;
    }

    static int lineWidth(const std::wstring& line, TextPrefix prefix) {
        int units = 0;
        for (size_t i = 0; i < line.size(); ++i) {
            if (prefix == TextPrefix::mnemonic && line[i] == L'&') {
                if (i + 1 < line.size() && line[i + 1] == L'&')
                    ++i, ++units;
                continue;
            }
            ++units;
        }
        return units * kCharWidth;
    }
};

} // namespace tonvale
