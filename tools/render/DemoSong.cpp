#include "tools/render/DemoSong.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kTempo = 172.0;
constexpr double kStepSeconds = 60.0 / kTempo / 4.0;  // a sixteenth note
constexpr int kStepsPerBar = 16;
constexpr int kBars = 12;
constexpr int kSongSteps = kBars * kStepsPerBar;
constexpr double kTailSeconds = 1.5;  // the last hit rings out
constexpr float kClosingHitGain = 0.5f;
constexpr double kPi = 3.14159265358979323846;
// Brings the loudest moment of the song to about -1 dBFS.
constexpr float kMasterGain = 1.10f;

// What plays in each bar, and how loud.
struct Section {
    float gain;
    bool kick;
    bool snare;
    bool hats;
    bool bass;
};
const Section kArrangement[kBars] = {
    {1.00f, true, true, true, true},    {1.00f, true, true, true, true},
    {1.00f, true, true, true, true},    {1.00f, true, true, true, true},
    {0.10f, false, true, true, true},   {0.10f, false, true, true, true},   // quiet verse
    {1.00f, true, true, true, true},    {1.00f, true, true, true, true},
    {0.06f, false, false, false, true},  {0.06f, false, false, false, true},   // breakdown
    {1.00f, true, true, true, true},    {1.00f, true, true, true, true},
};

// Two-step drum pattern, one bar of sixteenths; the value is the velocity.
const float kKickPattern[kStepsPerBar] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.9f, 0, 0, 0, 0, 0};
const float kSnarePattern[kStepsPerBar] = {0, 0, 0, 0, 1, 0, 0, 0.25f,
                                           0, 0, 0, 0, 1, 0, 0, 0.3f};
const float kFinalBarSnare[kStepsPerBar] = {0, 0, 0, 0, 1, 0, 0, 0.25f,
                                            0, 0, 0, 0, 0.5f, 0.6f, 0.7f, 0.8f};
const float kHatPattern[kStepsPerBar] = {0.5f, 0, 1, 0, 0.5f, 0, 1, 0.4f,
                                         0.5f, 0, 1, 0, 0.5f, 0, 1, 0.6f};

// The bass line over two bars: start step, MIDI note, length in steps.
struct BassNote {
    int step;
    int note;
    int length;
};
const BassNote kBassLine[] = {
    {0, 28, 6},  {6, 28, 2},  {10, 31, 4}, {14, 33, 2},
    {16, 28, 6}, {22, 38, 2}, {26, 36, 4}, {30, 35, 2},
};
constexpr int kBassLineSteps = 32;

// How far back a drum hit can still be heard.
constexpr int kDrumLookBackSteps = 8;

float noise(uint32_t index, uint32_t seed) {
    uint32_t x = index * 0x9E3779B1u ^ seed;
    x ^= x >> 16;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    x ^= x >> 16;
    return static_cast<float>(x) / 2147483648.0f - 1.0f;
}

float kickVoice(double age) {
    // A sine falling from about 155 Hz to 45 Hz, with its phase integrated.
    const double sweep = 110.0 * (1.0 - std::exp(-age * 30.0)) / 30.0;
    const double phase = 2.0 * kPi * (45.0 * age + sweep);
    return static_cast<float>(0.55 * std::sin(phase) * std::exp(-age * 7.0));
}

float snareVoice(double age, int64_t frame) {
    const double tone = 0.16 * std::sin(2.0 * kPi * 185.0 * age) * std::exp(-age * 22.0);
    const double rattle = 0.30 * noise(static_cast<uint32_t>(frame), 0x5A5Eu) * std::exp(-age * 15.0);
    return static_cast<float>(tone + rattle);
}

float hatVoice(double age, int64_t frame) {
    // Differenced noise: most of its energy sits high, as a hat's does.
    const uint32_t index = static_cast<uint32_t>(frame);
    const float bright = noise(index, 0x4A7u) - noise(index - 1, 0x4A7u);
    return static_cast<float>(0.06 * bright * std::exp(-age * 55.0));
}

double midiFrequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

double sawtooth(double phase) { return 2.0 * (phase - std::floor(phase)) - 1.0; }

const Section& sectionAtStep(int step) {
    return kArrangement[std::min(std::max(step, 0) / kStepsPerBar, kBars - 1)];
}

}  // namespace

int64_t DemoSong::frameCount() const {
    return static_cast<int64_t>((kSongSteps * kStepSeconds + kTailSeconds) * kSampleRate);
}

int DemoSong::render(float* left, float* right, int frames) {
    const int count = static_cast<int>(std::min<int64_t>(frames, frameCount() - position));
    for (int i = 0; i < count; ++i) renderFrame(position + i, left[i], right[i]);
    position += count;
    return count;
}

void DemoSong::renderFrame(int64_t frame, float& left, float& right) {
    const double time = static_cast<double>(frame) / kSampleRate;
    float drumPan = 0.5f;
    const float drumSample = drums(frame, time, drumPan);
    const float bassSample = bass(time);
    left = kMasterGain * (bassSample + drumSample * (1.0f - drumPan) * 2.0f);
    right = kMasterGain * (bassSample + drumSample * drumPan * 2.0f);
}

// Sums every hit still ringing. `pan` returns where the louder part of the
// mix sits: kick centre, snare a little left, hats to the right.
float DemoSong::drums(int64_t frame, double time, float& pan) {
    const int currentStep = static_cast<int>(time / kStepSeconds);
    float centre = 0.0f, snare = 0.0f, hats = 0.0f;
    for (int back = 0; back < kDrumLookBackSteps; ++back) {
        const int step = currentStep - back;
        if (step < 0) break;
        const double age = time - step * kStepSeconds;
        const int inBar = step % kStepsPerBar;
        if (step >= kSongSteps) {
            // The closing hit on the downbeat after the last bar.
            if (step == kSongSteps) centre += kClosingHitGain * (kickVoice(age) + snareVoice(age, frame));
            continue;
        }
        const Section& section = sectionAtStep(step);
        const bool finalBar = step / kStepsPerBar == kBars - 1;
        const float snareVelocity = finalBar ? kFinalBarSnare[inBar] : kSnarePattern[inBar];
        if (section.kick && kKickPattern[inBar] > 0) {
            centre += section.gain * kKickPattern[inBar] * kickVoice(age);
        }
        if (section.snare && snareVelocity > 0) {
            snare += section.gain * snareVelocity * snareVoice(age, frame);
        }
        if (section.hats && kHatPattern[inBar] > 0) {
            hats += section.gain * kHatPattern[inBar] * hatVoice(age, frame);
        }
    }
    const float total = std::fabs(centre) + std::fabs(snare) + std::fabs(hats);
    pan = total > 0.0f ? (0.5f * std::fabs(centre) + 0.4f * std::fabs(snare) +
                          0.7f * std::fabs(hats)) / total
                       : 0.5f;
    return centre + snare + hats;
}

float DemoSong::bass(double time) {
    const int step = static_cast<int>(time / kStepSeconds);
    float target = 0.0f;
    if (step < kSongSteps || step == kSongSteps) {
        const Section& section = sectionAtStep(std::min(step, kSongSteps - 1));
        const int inLine = step % kBassLineSteps;
        for (const BassNote& note : kBassLine) {
            const double start = (step - inLine + note.step) * kStepSeconds;
            const double age = time - start;
            const double length = note.length * kStepSeconds;
            if (!section.bass || age < 0.0 || age >= length + 0.03) continue;
            const double frequency = midiFrequency(note.note);
            // Two saws a little apart in pitch beat against each other.
            const double tone = sawtooth(frequency * age) + sawtooth(frequency * 1.007 * age);
            const double attack = std::min(1.0, age / 0.005);
            const double release = age > length ? 1.0 - (age - length) / 0.03 : 1.0;
            target += static_cast<float>(section.gain * 0.16 * tone * attack * release);
        }
    }
    // A one-pole low-pass keeps the saws round (about 500 Hz).
    constexpr float kLowPassCoefficient = 0.069f;
    bassLowPass += kLowPassCoefficient * (target - bassLowPass);
    return bassLowPass;
}
