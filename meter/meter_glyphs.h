// The glyph strip (bitmap 603): four rows of glyphs the meter composes its
// read-outs from, and the tables that say where each glyph lies.
//
// Within a row a glyph's x is the sum of the widths of the entries before it
// in its table. A glyph of width 0 draws nothing but still advances.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonvale {

struct GlyphEntry {
    char character;
    uint8_t width;
    uint8_t advance;
};

struct GlyphTable {
    const GlyphEntry* entries; // ended by an entry with character 0
    int32_t rowTop;            // y of the row in the strip
    int32_t rowHeight;
};

constexpr int32_t kGlyphStripWidth = 466;
constexpr int32_t kGlyphStripHeight = 108;

extern const GlyphTable kNoteGlyphs;      // A-G, 0-9, #, b
extern const GlyphTable kCentsGlyphs;     // * (blank), 0-9, +, -
extern const GlyphTable kFrequencyGlyphs; // blank, 0-9, .
extern const GlyphTable kSmallGlyphs;     // 0-9, #, b

// One glyph to copy: from (sourceX, table row) in the strip, width x row
// height, to destX relative to the start of the text.
struct GlyphPlacement {
    int32_t sourceX;
    int32_t width;
    int32_t destX;
};

constexpr size_t kMaxGlyphs = 8;

struct GlyphRun {
    GlyphPlacement glyph[kMaxGlyphs];
    size_t count = 0; // glyphs of width 0 are left out
    int32_t advance = 0;
};

// Places text with table. A character the table lacks ends the text; so does
// the kMaxGlyphs-th glyph.
GlyphRun layoutGlyphs(const GlyphTable& table, const char* text);

} // namespace tonvale
