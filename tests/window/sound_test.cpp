// Sound files and the mixer: decoding and 8-bit widening, short and bogus
// files, the mixing rule with its overflow fallbacks, buffers taking turns,
// no restart of a playing sound, a failed device and the watchdog.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/sdl/sound_player.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Samples = std::vector<int16_t>;

// A 44-byte header saying `claimed` data bytes of `bits`-bit samples, then `data`.
std::vector<uint8_t> wavFile(int bits, const std::vector<uint8_t>& data, int64_t claimed = -1)
{
    const uint32_t n = static_cast<uint32_t>(claimed < 0 ? static_cast<int64_t>(data.size()) : claimed);
    std::vector<uint8_t> file = { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
        1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, static_cast<uint8_t>(bits), 0, 'd', 'a', 't', 'a',
        static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
        static_cast<uint8_t>(n >> 24) };
    for (uint8_t b : data) {
        file.push_back(b);
    }
    return file;
}

std::vector<uint8_t> samples16(const Samples& values)
{
    std::vector<uint8_t> bytes;
    for (int16_t v : values) {
        bytes.insert(bytes.end(), { static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF) });
    }
    return bytes;
}

TEST(SoundTest, DecodesSixteenAndEightBitAndSurvivesShortOrBogusFiles)
{
    // Each file, the bytes of it the decoder sees, its length and samples.
    // 8-bit samples widen: 0x80 is silence, 0xFF the loudest up, 0x00 the
    // loudest down. A header claiming more than the file holds (one byte, or
    // four billion) plays what is there; an odd number of data bytes keeps a
    // whole (zero-padded) last sample; too short for the header, or not a
    // WAVE file: silence.
    auto bogus = wavFile(16, samples16({ 9 }));
    bogus[8] = 'X';
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        size_t size;
        int32_t length;
        Samples samples;
    } cases[] = { { "eight", wavFile(8, { 0x80, 0xFF, 0x00, 0x81 }), 48, 8, { 0, 127 * 256, -32768, 256 } },
        { "sixteen", wavFile(16, samples16({ 1, -2, 32767 })), 50, 6, { 1, -2, 32767 } },
        { "cut", wavFile(16, samples16({ 5, 6, 7 }), 7), 50, 6, { 5, 6, 7 } },
        { "cut8", wavFile(8, { 0x90, 0x70 }, 0xFFFFFFFF), 46, 4, { 0x10 * 256, -0x10 * 256 } },
        { "odd", wavFile(16, { 0x34, 0x12, 0x7F }), 47, 3, { 0x1234, 0x7F } }, { "short", wavFile(16, {}), 43, 0, {} },
        { "bogus", bogus, bogus.size(), 0, {} } };
    testing::internal::CaptureStdout();
    for (const auto& c : cases) {
        const WavSound sound = WavSound::decode(c.file.data(), c.size, c.name);
        EXPECT_EQ(sound.length(), c.length) << c.name;
        EXPECT_EQ(sound.samples(), c.samples) << c.name;
    }
    EXPECT_EQ(WavSound::decode(nullptr, 0, "empty").length(), 0);
    EXPECT_EQ(WavSound::load("/nonexistent/sound.wav").length(), 0);
    const std::string said = testing::internal::GetCapturedStdout();
    // One line for each problem, naming the sound.
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 6) << said;
    for (const char* name : { "cut", "cut8", "short", "empty", "bogus", "/nonexistent/sound.wav" }) {
        EXPECT_NE(said.find(std::string("sound ") + name + ":"), std::string::npos) << name << " in:\n" << said;
    }
}

TEST(SoundTest, TheLongestSoundIsReadWholeAndALongerOneInPart)
{
    // Exactly the most sample data a sound may have: all of it, no message.
    std::vector<uint8_t> data(WavSound::kMaxDataBytes, 0x90);
    data.back() = 0x10;
    testing::internal::CaptureStdout();
    const auto longest = WavSound::decode(wavFile(8, data).data(), WavSound::kHeaderBytes + data.size(), "longest");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(longest.length(), static_cast<int32_t>(2 * WavSound::kMaxDataBytes)) << "8-bit data doubles";
    EXPECT_EQ(longest.samples().back(), (0x10 - 128) * 256);

    // One byte more, in memory or in a file: its beginning, said in one line.
    data.push_back(0x70);
    const auto file = wavFile(16, data);
    testing::internal::CaptureStdout();
    const auto longer = WavSound::decode(file.data(), file.size(), "longer");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "sound longer: too long, playing its beginning\n");
    EXPECT_EQ(longer.length(), static_cast<int32_t>(WavSound::kMaxDataBytes));
    test::ScratchFolder folder("sound_longest");
    ASSERT_TRUE(test::writeBytes(folder.file("long.wav"), file));
    testing::internal::CaptureStdout();
    const auto loaded = WavSound::load(folder.file("long.wav"));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(loaded.length(), static_cast<int32_t>(WavSound::kMaxDataBytes));
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("long.wav: "), std::string::npos) << said;
}

// A device that keeps what is written and hands buffers back when told.
class FakeDevice : public AudioDevice {
public:
    bool open(std::function<void(int32_t)> doneCallback) override
    {
        ++opens;
        done = std::move(doneCallback);
        opened = !failOpen;
        return opened;
    }
    bool isOpen() const override { return opened; }
    bool write(int32_t buffer, const int16_t* samples, int32_t bytes) override
    {
        buffers.push_back(buffer);
        writes.emplace_back(samples, samples + bytes / 2);
        queued.push_back(buffer);
        return true;
    }
    uint32_t position() const override { return played; }
    void reset() override
    {
        ++resets;
        for (int32_t b : std::exchange(queued, {})) {
            done(b);
        }
    }
    void close() override { opened = false; }
    // The device finished its oldest `n` buffers.
    void finish(int32_t n = 1)
    {
        for (int32_t i = 0; i < n; ++i) {
            const int32_t b = queued.front();
            queued.erase(queued.begin());
            played += 2000;
            done(b);
        }
    }

    std::vector<int32_t> buffers;  // the buffer of each write
    std::vector<Samples> writes;
    std::vector<int32_t> queued;
    std::function<void(int32_t)> done;
    uint32_t played = 0;
    int32_t opens = 0;
    int32_t resets = 0;
    bool opened = false;
    bool failOpen = false;
};

class SoundPlayerTest : public testing::Test {
protected:
    void sound(const std::string& name, const Samples& values)
    {
        ASSERT_TRUE(test::writeBytes(folder.file(name + ".wav"), wavFile(16, samples16(values))));
    }
    test::ScratchFolder folder { "sound_player" };
    FakeDevice device;
    SoundPlayer player { device, folder.path() };
};

TEST_F(SoundPlayerTest, MixesFirstCopiedOthersAddedHalvedOrDropped)
{
    // Twelve thousand bytes of silence (exactly three buffers) keep both
    // buffers busy while the others start.
    sound("long", Samples(6000, 0));
    sound("a", { 1000, 30000, -30000, 32767, 32767, 32767, -2, 5, 9 });
    sound("b", { 2000, 10000, -10000, 32000, 16384, 16383, -32768, -32768 });
    player.play("long");
    player.play("a");
    player.play("b");
    EXPECT_EQ(device.writes.size(), 2u) << "no buffer is free until the device hands one back";
    device.finish();
    ASSERT_EQ(device.writes.size(), 3u);
    // The latest loaded ("b") is copied, "a" added (halved where the sum
    // overflows, left out where even that does), the silence added last.
    EXPECT_EQ(Samples(device.writes[2].begin(), device.writes[2].begin() + 10),
        (Samples { 3000, 25000, -25000, 32000, 16384, 32766, -32768, -32763, 9, 0 }));
    EXPECT_EQ(device.buffers, (std::vector<int32_t> { 0, 1, 0 }));
    for (const char* name : { "a", "b", "long" }) {
        EXPECT_FALSE(player.isPlaying(name)) << name;
    }
    EXPECT_EQ(player.loadedSounds(), 3);
    // Nothing plays any more: a returned buffer is not written again.
    device.finish(2);
    EXPECT_EQ(device.writes.size(), 3u);
}

TEST_F(SoundPlayerTest, PlaysInQuarterSecondsWithoutRestartingAPlayingSound)
{
    Samples ramp(5500);
    std::iota(ramp.begin(), ramp.end(), 0);
    sound("ramp", ramp);
    sound("short", Samples(1500, -7));
    player.play("ramp");
    // Asked again while playing: it carries on instead of starting over.
    player.play("ramp");
    EXPECT_TRUE(player.isPlaying("ramp"));
    device.finish();
    ASSERT_EQ(device.writes.size(), 3u);
    EXPECT_EQ(device.buffers, (std::vector<int32_t> { 0, 1, 0 }));
    // The first sample of a write and samples 1499 and 1500: the third ends
    // the ramp at 5499 and is silence after the sound's end.
    auto edges = [&](size_t w) {
        return Samples { device.writes[w][0], device.writes[w][1499], device.writes[w][1500] };
    };
    EXPECT_EQ(edges(1), (Samples { 2000, 3499, 3500 }));
    EXPECT_EQ(edges(2), (Samples { 4000, 5499, 0 }));
    EXPECT_FALSE(player.isPlaying("ramp"));

    // 3000 bytes: one buffer of 3000 bytes of sound and 1000 of silence, then done.
    device.finish();
    player.play("short");
    ASSERT_EQ(device.writes.size(), 4u);
    EXPECT_EQ(edges(3), (Samples { -7, -7, 0 }));
    EXPECT_FALSE(player.isPlaying("short"));
    // Once a sound has ended it can start again from its beginning.
    device.finish(2);
    player.play("ramp");
    ASSERT_EQ(device.writes.size(), 6u);
    EXPECT_EQ(edges(4)[0], 0);
    EXPECT_EQ(edges(5)[0], 2000);

    // A missing file is silence: at most one silent buffer.
    device.finish(3);
    ASSERT_EQ(device.writes.size(), 7u);
    testing::internal::CaptureStdout();
    player.play("missing");
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("sound "), 0u);
    ASSERT_LE(device.writes.size(), 8u);
    for (size_t w = 7; w < device.writes.size(); ++w) {
        EXPECT_EQ(device.writes[w], Samples(2000, 0));
    }
    EXPECT_EQ(device.opens, 1);
}

TEST_F(SoundPlayerTest, AFailedDeviceLeavesSoundOffAndAStalledOneIsReopened)
{
    sound("beep", Samples(100, 300));
    FakeDevice broken;
    broken.failOpen = true;
    SoundPlayer silent(broken, folder.path());
    for (int i = 0; i < 3; ++i) {
        silent.play("beep");
    }
    EXPECT_EQ(broken.opens, 1) << "after a failed open no further open is tried";
    EXPECT_FALSE(silent.audioAvailable());
    EXPECT_EQ(silent.loadedSounds(), 0);

    // A device that keeps playing is left alone, however many requests come.
    for (int i = 0; i < 8; ++i) {
        player.play("beep");
        device.finish();
    }
    // Five requests in a row seeing the position where the one before saw it:
    // the device is dropped with every loaded sound, and that fifth request
    // opens it afresh.
    for (int i = 0; i < 5; ++i) {
        player.play("beep");
    }
    EXPECT_EQ((std::vector<int32_t> { device.resets, device.opens }), (std::vector<int32_t> { 0, 1 }));
    player.play("beep");
    EXPECT_EQ((std::vector<int32_t> { device.resets, device.opens }), (std::vector<int32_t> { 1, 2 }));
    EXPECT_EQ(device.queued.size(), 1u) << "the new device plays the sound again";
    EXPECT_EQ(player.loadedSounds(), 1);
    EXPECT_TRUE(player.bufferFree(1));
    EXPECT_FALSE(player.bufferFree(0));
}

TEST_F(SoundPlayerTest, AQuietDeviceIsClosedAndOpensAgainForTheNextSoundOrInput)
{
    sound("beep", Samples(100, 300));
    const uint32_t rest = SoundPlayer::kRestMs;
    // Never opened, or failed: nothing to close, nothing to open.
    player.rest(0);
    player.wake();
    EXPECT_EQ(device.opens, 0);

    // While a buffer is out, or a sound still has samples to give, it stays.
    player.play("beep");
    ASSERT_EQ(device.queued.size(), 1u);
    player.rest(1000);
    player.rest(1000 + 3 * rest);
    EXPECT_TRUE(device.isOpen()) << "a buffer is still playing";
    // Quiet from the first look that finds it so, for kRestMs.
    device.finish();
    player.rest(50000);
    player.rest(50000 + rest - 1);
    EXPECT_TRUE(device.isOpen());
    player.rest(50000 + rest);
    EXPECT_FALSE(device.isOpen());
    EXPECT_TRUE(player.resting());
    EXPECT_EQ(device.resets, 0);
    EXPECT_EQ(player.loadedSounds(), 1) << "the sounds stay loaded";

    // The next sound opens it again and plays at once.
    player.play("beep");
    EXPECT_EQ(device.opens, 2);
    EXPECT_EQ(device.queued.size(), 1u);
    EXPECT_FALSE(player.resting());
    // A sound played meanwhile starts the quiet afresh (the clock may wrap).
    device.finish();
    player.rest(0xFFFFFF00u);
    player.play("beep");
    device.finish();
    player.rest(0xFFFFFF10u);
    player.rest(0xFFFFFF10u + rest - 1);
    EXPECT_TRUE(device.isOpen());
    player.rest(0xFFFFFF10u + rest);
    EXPECT_FALSE(device.isOpen());

    // Input opens a rested device before any sound; an open one is left alone.
    player.wake();
    EXPECT_EQ(device.opens, 3);
    EXPECT_TRUE(device.isOpen());
    player.wake();
    EXPECT_EQ(device.opens, 3);
    // A device closed for good (the end) is not opened by input.
    player.close();
    player.wake();
    EXPECT_EQ(device.opens, 3);
}

}  // namespace
}  // namespace tarnby
