#include "tone/tone_window_layout.h"

#include "support/ui_text.h"

namespace tonvale {
namespace {

constexpr int kTextOctave = 98, kTextGain = 99, kTextSilence = 100, kTextSeconds = 101;
constexpr int kTextFirstKeyName = 88, kTextLastKeyName = 97;
constexpr int kTextNext = 154, kTextMinus = 155, kTextPlus = 156, kTextDecibels = 157;
constexpr int kTextFirstDigit = 158, kTextLastDigit = 166;
constexpr int kTextTwo = 160;
constexpr int kSliderWidth = 130, kSliderHeight = 30; // design units
constexpr int kSeparatorThickness = 2;

// Creation position -> the key's place: white keys 0 ... 6 from C, raised
// keys on the boundary after white key n.
struct KeyPlace {
    bool raised;
    int index;
};
constexpr KeyPlace kKeyPlaces[12] = {
    {false, 0}, {true, 0},  {false, 1}, {true, 1},  {false, 2}, {false, 3},
    {true, 3},  {false, 4}, {true, 4},  {false, 5}, {true, 5},  {false, 6},
};

const wchar_t* const* textRange(int first, int last, const wchar_t** buffer) {
    for (int n = first; n <= last; ++n) {
        buffer[n - first] = UiText(n);
    }
    return buffer;
}

// The two rows of keys inside the keyboard's node.
void placeKeys(const LayoutNode& keyboard, int keyWidth, int keyHeight, LayoutRect* keys) {
    const int gap = DialogBuilder::metric(DialogBuilder::kRowGap);
    const int rowGap = DialogBuilder::metric(DialogBuilder::kColumnGap);
    const int pitch = keyWidth + gap;
    for (int i = 0; i < 12; ++i) {
        const KeyPlace place = kKeyPlaces[i];
        LayoutRect& key = keys[i];
        key.width = keyWidth;
        key.height = keyHeight;
        if (place.raised) {
            // Centred on the gap between two white keys.
            key.x = keyboard.x + (place.index + 1) * pitch - gap / 2 - keyWidth / 2;
            key.y = keyboard.y;
        } else {
            key.x = keyboard.x + place.index * pitch;
            key.y = keyboard.y + keyHeight + rowGap;
        }
    }
}

} // namespace

ToneWindowLayout layOutToneWindow(const TextMeasure& m) {
    DialogBuilder b;
    LayoutNode* nodes[kToneControlCount] = {};
    const wchar_t* texts[12] = {};

    // One key measures the size of all twelve; the keyboard is laid out as a block.
    const LayoutNode* key = b.widest(m, DialogBuilder::pushButton(),
                                     textRange(kTextFirstKeyName, kTextLastKeyName, texts),
                                     kTextLastKeyName - kTextFirstKeyName + 1);
    const int gap = DialogBuilder::metric(DialogBuilder::kRowGap);
    const int rowGap = DialogBuilder::metric(DialogBuilder::kColumnGap);
    LayoutNode* keyboard = b.pixels(0, 7 * key->width + 6 * gap, 2 * key->height + rowGap);
    LayoutNode* keyboardRow = b.row(m, kLayoutStretch, nullptr, {keyboard});

    const uint32_t radio = DialogBuilder::checkBox();
    textRange(kTextFirstDigit, kTextLastDigit, texts);
    const size_t digitCount = kTextLastDigit - kTextFirstDigit + 1;
    nodes[kOctaveLabel] = b.text(m, 0, UiText(kTextOctave));
    for (int i = 0; i < 5; ++i) {
        nodes[kFirstOctaveButton + i] = b.widest(m, radio, texts, digitCount);
    }
    const int radioHeight = nodes[kFirstOctaveButton]->height;
    nodes[kOctaveSeparator] = b.pixels(0, kSeparatorThickness, radioHeight);
    nodes[kNextOctavesButton] = b.text(m, DialogBuilder::pushButton(), UiText(kTextNext));
    LayoutNode* octaveRow = b.row(m, kLayoutCentre, nullptr, &nodes[kOctaveLabel], 8);

    nodes[kGainSeparator] = b.pixels(kLayoutStretch, 0, kSeparatorThickness);

    nodes[kGainLabel] = b.text(m, 0, UiText(kTextGain));
    nodes[kGainSlider] = b.fixed(0, kSliderWidth, kSliderHeight);
    nodes[kGainValue] = b.chars(m, sizeDescriptor(6, 4, 0), 4);
    nodes[kGainUnit] = b.text(m, 0, UiText(kTextDecibels));
    LayoutNode* gainRow =
        b.row(m, kLayoutCentre, nullptr,
              {nodes[kGainLabel], nodes[kGainSlider], nodes[kGainValue], nodes[kGainUnit]});
    // The ends of the slider are labelled on a line of their own below it.
    nodes[kGainMinus] = b.text(m, 0, UiText(kTextMinus));
    nodes[kGainPlus] = b.text(m, 0, UiText(kTextPlus));
    LayoutNode* endsLine = b.pixels(0, 0, nodes[kGainMinus]->height);
    LayoutNode* gainBlock = b.column(m, 0, nullptr, {gainRow, endsLine});

    nodes[kSilenceBox] = b.text(m, radio, UiText(kTextSilence));
    nodes[kSilenceSeparator] = b.pixels(0, kSeparatorThickness, radioHeight);
    for (int i = 0; i < 3; ++i) {
        nodes[kFirstSilenceButton + i] = b.text(m, radio, UiText(kTextTwo + i));
    }
    nodes[kSecondsLabel] = b.text(m, 0, UiText(kTextSeconds));
    LayoutNode* silenceRow = b.row(m, kLayoutCentre, nullptr, &nodes[kSilenceBox], 6);

    LayoutNode* root = b.column(
        m, 0, nullptr, {keyboardRow, octaveRow, nodes[kGainSeparator], gainBlock, silenceRow});
    const int margin = DialogBuilder::metric(DialogBuilder::kRowGap);
    DialogBuilder::finish(root, margin, margin, 0);

    ToneWindowLayout layout;
    placeKeys(*keyboard, key->width, key->height, &layout.controls[kNoteC]);
    for (int i = kOctaveLabel; i < kToneControlCount; ++i) {
        if (nodes[i]) {
            layout.controls[i] = nodes[i]->rect();
        }
    }
    const LayoutRect slider = layout.controls[kGainSlider];
    LayoutRect& minus = layout.controls[kGainMinus];
    LayoutRect& plus = layout.controls[kGainPlus];
    minus.x = slider.x;
    plus.x = slider.x + slider.width - plus.width;
    minus.y = plus.y = endsLine->y;
    layout.clientWidth = root->width + 2 * margin;
    layout.clientHeight = root->height + 2 * margin;
    return layout;
}

} // namespace tonvale
