#include "meter/meter_glyphs.h"

namespace tonvale {
namespace {

// clang-format off
const GlyphEntry kNoteEntries[] = {
    {'A', 40, 40}, {'B', 40, 40}, {'C', 40, 40}, {'D', 40, 40}, {'E', 40, 40}, {'F', 40, 40},
    {'G', 40, 40},
    {'0', 15, 15}, {'1', 15, 15}, {'2', 15, 15}, {'3', 15, 15}, {'4', 15, 15}, {'5', 15, 15},
    {'6', 15, 15}, {'7', 15, 15}, {'8', 15, 15}, {'9', 15, 15},
    {'#', 18, 18}, {'b', 18, 18}, {0, 0, 0},
};
const GlyphEntry kCentsEntries[] = {
    {'*', 0, 24},
    {'0', 22, 22}, {'1', 22, 22}, {'2', 22, 22}, {'3', 22, 22}, {'4', 22, 22}, {'5', 22, 22},
    {'6', 22, 22}, {'7', 22, 22}, {'8', 22, 22}, {'9', 22, 22},
    {'+', 24, 24}, {'-', 24, 24}, {0, 0, 0},
};
const GlyphEntry kFrequencyEntries[] = {
    {' ', 0, 16},
    {'0', 16, 16}, {'1', 16, 16}, {'2', 16, 16}, {'3', 16, 16}, {'4', 16, 16}, {'5', 16, 16},
    {'6', 16, 16}, {'7', 16, 16}, {'8', 16, 16}, {'9', 16, 16},
    {'.', 8, 8}, {0, 0, 0},
};
const GlyphEntry kSmallEntries[] = {
    {'0', 12, 12}, {'1', 12, 12}, {'2', 12, 12}, {'3', 12, 12}, {'4', 12, 12}, {'5', 12, 12},
    {'6', 12, 12}, {'7', 12, 12}, {'8', 12, 12}, {'9', 12, 12},
    {'#', 12, 12}, {'b', 12, 12}, {0, 0, 0},
};
// clang-format on

} // namespace

const GlyphTable kNoteGlyphs = {kNoteEntries, 0, 42};
const GlyphTable kFrequencyGlyphs = {kFrequencyEntries, 42, 22};
const GlyphTable kCentsGlyphs = {kCentsEntries, 64, 28};
const GlyphTable kSmallGlyphs = {kSmallEntries, 92, 16};

GlyphRun layoutGlyphs(const GlyphTable& table, const char* text) {
    GlyphRun run;
    for (size_t i = 0; text[i] && i < kMaxGlyphs; ++i) {
        int32_t sourceX = 0;
        const GlyphEntry* entry = table.entries;
        while (entry->character && entry->character != text[i]) {
            sourceX += entry->width;
            ++entry;
        }
        if (!entry->character)
            break;
        if (entry->width > 0)
            run.glyph[run.count++] = {sourceX, entry->width, run.advance};
        run.advance += entry->advance;
    }
    return run;
}

} // namespace tonvale
