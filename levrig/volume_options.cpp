#include "levrig/volume_options.h"

#include <cwchar>

namespace tonvale {
namespace levrig {
namespace {

int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

wchar_t upperAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// The option letter of an argument, upper case; 0 when it is no option.
wchar_t optionLetter(const wchar_t* argument) {
    if (!argument || (argument[0] != L'-' && argument[0] != L'/'))
        return 0;
    wchar_t letter = upperAscii(argument[1]);
    return (letter >= L'A' && letter <= L'Z') ? letter : 0;
}

// Which of D, E and G spoke last, and what it said.
struct EndpointChoice {
    enum Kind { none, byWaveIndex, byId, byGuid } kind = none;
    int index = 0;
    const wchar_t* id = nullptr;
    DeviceGuid guid;
};

void applyEndpointChoice(const EndpointChoice& choice, EndpointResolver& resolver,
                         VolumeOptions& options) {
    switch (choice.kind) {
    case EndpointChoice::none:
        return;
    case EndpointChoice::byId:
        options.endpointId.assign(choice.id);
        return;
    case EndpointChoice::byWaveIndex:
    case EndpointChoice::byGuid: {
        Text found;
        const bool ok =
            choice.kind == EndpointChoice::byWaveIndex
                ? resolver.endpointOfWaveIndex(options.recording, choice.index, found)
                : resolver.endpointOfDirectSoundGuid(options.recording, choice.guid, found);
        if (!ok || found.size() > kMaxEndpointIdLength)
            found.clear();
        options.endpointId = found;
        return;
    }
    }
}

} // namespace

bool parseDeviceGuid(const wchar_t* text, DeviceGuid& guid) {
    uint8_t nibbles[32] = {};
    int count = 0;
    for (const wchar_t* c = text; c && *c && count < 32; ++c) {
        int value = hexValue(*c);
        if (value >= 0)
            nibbles[count++] = static_cast<uint8_t>(value);
    }
    if (count < 32)
        return false;
    auto read = [&](int from, int digits) {
        uint32_t value = 0;
        for (int i = from; i < from + digits; ++i)
            value = value * 16 + nibbles[i];
        return value;
    };
    guid.data1 = read(0, 8);
    guid.data2 = static_cast<uint16_t>(read(8, 4));
    guid.data3 = static_cast<uint16_t>(read(12, 4));
    for (int i = 0; i < 8; ++i)
        guid.data4[i] = static_cast<uint8_t>(read(16 + 2 * i, 2));
    return true;
}

void parseVolumeOptions(const wchar_t* const* args, int count, EndpointResolver& resolver,
                        VolumeOptions& options) {
    EndpointChoice choice;
    bool storeChosen = false;
    for (int i = 0; i < count; ++i) {
        const wchar_t letter = optionLetter(args[i]);
        const bool needsValue =
            letter == L'E' || letter == L'G' || letter == L'I' || letter == L'K';
        if (needsValue && i + 1 >= count)
            break;
        const wchar_t* value = needsValue ? args[++i] : nullptr;
        switch (letter) {
        case L'A':
            options.allStates = true;
            break;
        case L'M':
            options.softwareMute = true;
            break;
        case L'R':
            options.recording = true;
            break;
        case L'D':
            if (args[i][2] >= L'0' && args[i][2] <= L'9') {
                choice.kind = EndpointChoice::byWaveIndex;
                choice.index = args[i][2] - L'0';
            }
            break;
        case L'E':
            if (std::wcslen(value) <= kMaxEndpointIdLength) {
                choice.kind = EndpointChoice::byId;
                choice.id = value;
            }
            break;
        case L'G':
            if (parseDeviceGuid(value, choice.guid))
                choice.kind = EndpointChoice::byGuid;
            break;
        case L'I':
            if (!storeChosen) {
                storeChosen = true;
                options.store = PlaceStore::iniFile;
                options.storePath.assign(value);
            }
            break;
        case L'K':
            if (!storeChosen && std::wcslen(value) <= kMaxRegistryKeyLength) {
                storeChosen = true;
                options.store = PlaceStore::registry;
                options.storePath.assign(value);
            }
            break;
        default:
            break;
        }
    }
    applyEndpointChoice(choice, resolver, options);
}

const char* placeSectionName(bool recording) {
    return recording ? "Record" : "Playback";
}

} // namespace levrig
} // namespace tonvale
