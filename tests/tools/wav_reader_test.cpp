#include "tools/analyzer/wav_reader.h"
#include "wav_writer.h"

#include <gtest/gtest.h>

#include <limits>

namespace tonvale {
namespace {

using test::WavKind;

// The result points into `bytes`, which must outlive it.
WavInfo parseOk(const std::string& bytes) {
    WavInfo info;
    std::string error;
    EXPECT_TRUE(parseWav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), info, error))
        << error;
    return info;
}

std::string parseError(const std::string& bytes) {
    WavInfo info;
    std::string error;
    EXPECT_FALSE(
        parseWav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), info, error));
    return error;
}

std::vector<int16_t> decodeAll(const WavInfo& info) {
    std::vector<int16_t> out(info.frameCount);
    decodeMonoFrames(info, 0, info.frameCount, out.data());
    return out;
}

TEST(WavReader, WiderSamplesRoundToSixteenBits) {
    const double top24 = 8388607.0 / 8388608.0;
    const std::vector<double> values = {
        0.0, top24, -1.0, 128.0 / 8388608.0, 127.0 / 8388608.0, -129.0 / 8388608.0, 0.25};
    const std::string pcm24 = test::makeWav({44100, 1, WavKind::pcm24}, values);
    EXPECT_EQ(decodeAll(parseOk(pcm24)), (std::vector<int16_t>{0, 32767, -32768, 1, 0, -1, 8192}));

    const std::vector<double> floats = {0.5,
                                        1.0,
                                        -1.0,
                                        2.5,
                                        -7.0,
                                        1.0 / 65536.0,
                                        std::numeric_limits<double>::quiet_NaN(),
                                        std::numeric_limits<double>::infinity()};
    const std::string float32 = test::makeWav({44100, 1, WavKind::float32}, floats);
    EXPECT_EQ(decodeAll(parseOk(float32)),
              (std::vector<int16_t>{16384, 32767, -32768, 32767, -32768, 0, 0, 32767}));
}

TEST(WavReader, StereoFramesMixLikeTheCapture) {
    const std::vector<double> frames = {-1.0, -32767.0 / 32768, 1.0, 1.0, 1.0 / 32768,
                                        0.0,  -1.0 / 32768,     0.0};
    const std::string file = test::makeWav({48000, 2, WavKind::pcm16}, frames);
    const WavInfo info = parseOk(file);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.frameCount, 4u);
    EXPECT_EQ(decodeAll(info), (std::vector<int16_t>{-32767, 32767, 1, 0}));
}

TEST(WavReader, ChunksInAnyOrderWithPaddingAndAPartialFrame) {
    std::string fmt;
    test::putU16(fmt, 1);
    test::putU16(fmt, 1);
    test::putU32(fmt, 12000);
    test::putU32(fmt, 24000);
    test::putU16(fmt, 2);
    test::putU16(fmt, 16);
    std::string file = "RIFF";
    test::putU32(file, 0xFFFFFFFF); // never filled in
    file += "WAVE";
    file += "LIST";
    test::putU32(file, 3);
    file += "abc";
    file += '\0'; // pad byte
    file += "data";
    test::putU32(file, 5);
    file += std::string("\x01\x00\x02\x00\x03", 5);
    file += '\0';
    file += "fmt ";
    test::putU32(file, 16);
    file += fmt;
    const WavInfo info = parseOk(file);
    EXPECT_EQ(info.sampleRate, 12000u);
    EXPECT_EQ(info.frameCount, 2u);
    EXPECT_EQ(decodeAll(info), (std::vector<int16_t>{1, 2}));
}

TEST(WavReader, MalformedFilesAreRefusedWithAReason) {
    const std::string good =
        test::makeWav({44100, 2, WavKind::pcm16}, std::vector<double>(20, 0.1));
    const std::string notWav = "not a RIFF/WAVE file; " + std::string(kAcceptedWavFormats);
    EXPECT_EQ(parseError(""), notWav);
    EXPECT_EQ(parseError(good.substr(0, 11)), notWav);
    EXPECT_EQ(parseError("FORM\0\0\0\x20"
                         "AIFFCOMM"),
              notWav);
    EXPECT_EQ(parseError("RF64" + good.substr(4)),
              "RF64 files are not supported; use a RIFF/WAVE file");
    EXPECT_EQ(parseError(good.substr(0, 12)), "no fmt chunk");
    EXPECT_EQ(parseError(good.substr(0, 30)), "truncated fmt chunk");
    EXPECT_EQ(parseError(good.substr(0, 36)), "no data chunk");
    EXPECT_EQ(parseError(good.substr(0, good.size() - 2)),
              "truncated data chunk: the header announces 40 bytes, the file holds 38");

    std::string misaligned = good;
    misaligned[32] = 3; // bytes per frame
    EXPECT_EQ(parseError(misaligned),
              "malformed fmt chunk: 3 bytes per frame for 2 channels of 16 bits");
    std::string shortFmt = good;
    shortFmt[16] = 14;
    EXPECT_EQ(parseError(shortFmt), "malformed fmt chunk (14 bytes)");
    std::string sixChannels = good;
    sixChannels[22] = 6;
    EXPECT_NE(parseError(sixChannels).find("unsupported channel count 6; accepted"),
              std::string::npos);
    std::string compressed = good;
    compressed[20] = 0x55;
    EXPECT_NE(parseError(compressed).find("format tag 0x0055"), std::string::npos);
    std::string extensible = test::makeWav({44100, 1, WavKind::extensiblePcm16}, {0.5});
    extensible[44 + 2] = 0x7F; // a subformat that is not PCM or float
    EXPECT_NE(parseError(extensible).find("unsupported extensible format"), std::string::npos);
}

} // namespace
} // namespace tonvale
