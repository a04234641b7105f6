#include "levrig/volume_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tonvale {
namespace levrig {
namespace {

// Wave device n of a direction is "play-n" or "rec-n"; GUIDs whose first
// field is 0x1234 are the DirectSound devices.
class FakeResolver : public EndpointResolver {
  public:
    bool endpointOfWaveIndex(bool recording, int index, Text& id) override {
        asked.push_back(std::wstring(recording ? L"rec-" : L"play-") + std::to_wstring(index));
        if (index > 3)
            return false;
        id.assign(asked.back().c_str());
        return true;
    }
    bool endpointOfDirectSoundGuid(bool recording, const DeviceGuid& guid, Text& id) override {
        if (guid.data1 != 0x1234)
            return false;
        id.assign(recording ? L"rec-guid" : L"play-guid");
        return true;
    }
    std::vector<std::wstring> asked;
};

struct Parsed {
    VolumeOptions options;
    std::vector<std::wstring> asked;
};

Parsed parse(std::vector<std::wstring> args) {
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& arg : args)
        pointers.push_back(arg.c_str());
    FakeResolver resolver;
    Parsed parsed;
    parseVolumeOptions(pointers.data(), static_cast<int>(pointers.size()), resolver,
                       parsed.options);
    parsed.asked = resolver.asked;
    return parsed;
}

std::wstring idOf(const Parsed& parsed) {
    return std::wstring(parsed.options.endpointId.c_str());
}

TEST(VolumeOptions, TheTunersLineAndTheSwitches) {
    Parsed parsed = parse({L"/I", L"C:\\Users\\u\\Tonvale\\levrig.ini", L"/R", L"/D2"});
    EXPECT_TRUE(parsed.options.recording);
    EXPECT_EQ(parsed.options.store, PlaceStore::iniFile);
    EXPECT_EQ(std::wstring(parsed.options.storePath.c_str()), L"C:\\Users\\u\\Tonvale\\levrig.ini");
    EXPECT_EQ(idOf(parsed), L"rec-2");
    EXPECT_FALSE(parsed.options.allStates);
    EXPECT_EQ(parsed.options.left, kNoPlace);
    EXPECT_EQ(parsed.options.height, 0);

    parsed = parse({L"-a", L"/m", L"-Record"});
    EXPECT_TRUE(parsed.options.allStates);
    EXPECT_TRUE(parsed.options.softwareMute);
    EXPECT_TRUE(parsed.options.recording);
}

TEST(VolumeOptions, UnknownArgumentsAreIgnored) {
    Parsed parsed = parse({L"volume", L"/Z", L"-", L"/", L"/1", L"--", L"R", L"/E", L"id"});
    EXPECT_FALSE(parsed.options.recording);
    EXPECT_EQ(idOf(parsed), L"id");
}

TEST(VolumeOptions, DeviceDigitIsOneDigitAndTheDirectionIsKnownFirst) {
    EXPECT_EQ(idOf(parse({L"/D12"})), L"play-1");
    // A letter after D: no effect, the default endpoint stays.
    Parsed parsed = parse({L"/Dx"});
    EXPECT_EQ(idOf(parsed), L"");
    EXPECT_TRUE(parsed.asked.empty());
    EXPECT_EQ(idOf(parse({L"/E", L"keep", L"/D"})), L"keep");
    // R after D still makes D a recording device.
    EXPECT_EQ(idOf(parse({L"/D3", L"/R"})), L"rec-3");
    // A device that is not there: the default endpoint.
    EXPECT_EQ(idOf(parse({L"/E", L"x", L"/D7"})), L"");
}

TEST(VolumeOptions, LastOfDeviceEndpointAndGuidDecides) {
    EXPECT_EQ(idOf(parse({L"/E", L"first", L"/D1"})), L"play-1");
    EXPECT_EQ(idOf(parse({L"/D1", L"/E", L"second"})), L"second");
    EXPECT_EQ(idOf(parse({L"/D1", L"/G", L"{00001234-0000-0000-0000-000000000000}"})),
              L"play-guid");
    // Only the last one is looked up.
    Parsed parsed = parse({L"/D1", L"/D2", L"/E", L"x", L"/D0"});
    EXPECT_EQ(parsed.asked, std::vector<std::wstring>{L"play-0"});
}

TEST(VolumeOptions, BadOrLongValuesHaveNoEffect) {
    const std::wstring longestId(kMaxEndpointIdLength, L'e');
    EXPECT_EQ(idOf(parse({L"/E", longestId})), longestId);
    EXPECT_EQ(idOf(parse({L"/E", L"kept", L"/E", longestId + L"e"})), L"kept");
    EXPECT_EQ(idOf(parse({L"/E", L"kept", L"/G", L"{1234}"})), L"kept");

    const std::wstring longKey(kMaxRegistryKeyLength + 1, L'k');
    Parsed parsed = parse({L"/K", longKey, L"/I", L"a.ini"});
    EXPECT_EQ(parsed.options.store, PlaceStore::iniFile);
    parsed = parse({L"/K", longKey.substr(1), L"/I", L"a.ini"});
    EXPECT_EQ(parsed.options.store, PlaceStore::registry);
    EXPECT_EQ(parsed.options.storePath.size(), kMaxRegistryKeyLength);
}

TEST(VolumeOptions, FirstOfIniAndKeyDecides) {
    Parsed parsed = parse({L"/I", L"a.ini", L"/K", L"Software\\x"});
    EXPECT_EQ(parsed.options.store, PlaceStore::iniFile);
    EXPECT_EQ(std::wstring(parsed.options.storePath.c_str()), L"a.ini");
    parsed = parse({L"/K", L"Software\\x", L"/I", L"a.ini"});
    EXPECT_EQ(parsed.options.store, PlaceStore::registry);
}

TEST(VolumeOptions, MissingValueEndsTheParsing) {
    Parsed parsed = parse({L"/R", L"/A", L"/E"});
    EXPECT_TRUE(parsed.options.recording);
    EXPECT_TRUE(parsed.options.allStates);
    EXPECT_EQ(idOf(parsed), L"");
    // The value of E is taken whatever it looks like.
    parsed = parse({L"/E", L"/R"});
    EXPECT_FALSE(parsed.options.recording);
    EXPECT_EQ(idOf(parsed), L"/R");
}

TEST(VolumeOptions, GuidTakesThirtyTwoHexDigits) {
    DeviceGuid guid;
    ASSERT_TRUE(parseDeviceGuid(L"{FD47D9CC-4218-4135-9CE2-0C195C87405B}", guid));
    EXPECT_EQ(guid.data1, 0xFD47D9CCu);
    EXPECT_EQ(guid.data2, 0x4218);
    EXPECT_EQ(guid.data3, 0x4135);
    const uint8_t tail[8] = {0x9C, 0xE2, 0x0C, 0x19, 0x5C, 0x87, 0x40, 0x5B};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(guid.data4[i], tail[i]);
    DeviceGuid same;
    ASSERT_TRUE(parseDeviceGuid(L"fd47d9cc 4218 4135 9ce2 0c195c87405b and more ff", same));
    EXPECT_EQ(same.data1, guid.data1);
    EXPECT_EQ(same.data4[7], guid.data4[7]);
    EXPECT_FALSE(parseDeviceGuid(L"FD47D9CC-4218-4135-9CE2-0C195C87405", same));
}

} // namespace
} // namespace levrig
} // namespace tonvale
