#include "sounds.h"

#include "little_endian.h"

#include <algorithm>
#include <cmath>

namespace media {

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 6.283185307179586;

using Samples = std::vector<double>;

double noteFrequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

void putTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// Scales the peak to `peak` of full range and writes a RIFF WAVE file.
std::vector<uint8_t> encodeWav(const Samples& samples, double peak) {
  double largest = 1e-9;
  for (double s : samples) largest = std::max(largest, std::fabs(s));
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  putTag(out, "RIFF");
  put32(out, 36 + dataBytes);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, 1);  // mono
  put32(out, kRate);
  put32(out, kRate * 2);
  put16(out, 2);
  put16(out, 16);
  putTag(out, "data");
  put32(out, dataBytes);
  for (double s : samples) {
    const long v = std::lround(s / largest * peak * 32767.0);
    put16(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(std::clamp(v, -32767L, 32767L)))));
  }
  return out;
}

// A bell-like tone: inharmonic partials that die away, the high ones first.
void addBell(Samples& out, size_t start, double frequency, double seconds, double level) {
  static const double kPartials[][3] = {{1.0, 1.0, 1.0}, {2.76, 0.4, 2.2}, {5.4, 0.18, 4.0}, {8.93, 0.06, 6.0}};
  const size_t n = static_cast<size_t>(seconds * kRate);
  for (size_t i = 0; i < n && start + i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double attack = std::min(1.0, t / 0.004);
    double s = 0;
    for (const auto& p : kPartials) s += p[1] * std::exp(-t * p[2] * 3.0 / seconds) * std::sin(kTwoPi * frequency * p[0] * t);
    out[start + i] += level * attack * s;
  }
}

// A mellow plucked note: a few harmonics under a quick decay.
void addPluck(Samples& out, size_t start, double frequency, double seconds, double level) {
  const size_t n = static_cast<size_t>(seconds * kRate);
  for (size_t i = 0; i < n && start + i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double attack = std::min(1.0, t / 0.006);
    const double release = std::min(1.0, (seconds - t) / 0.03);  // ends at silence
    const double envelope = attack * release * std::exp(-t * 3.5);
    const double s = std::sin(kTwoPi * frequency * t) + 0.3 * std::sin(kTwoPi * 2 * frequency * t) +
                     0.12 * std::sin(kTwoPi * 3 * frequency * t);
    out[start + i] += level * envelope * s;
  }
}

}  // namespace

std::vector<uint8_t> makeSong() {
  // Two bars of eighth notes at 112 beats a minute in A minor, over a bass
  // that walks A, F, C, G. Every note ends before the loop point.
  constexpr double kEighth = 60.0 / 112.0 / 2.0;
  constexpr int kSteps = 32;
  const size_t stepSamples = static_cast<size_t>(kEighth * kRate);
  Samples song(stepSamples * kSteps, 0.0);
  const int melody[kSteps] = {69, 72, 76, 72, 74, 72, 69, 0,  65, 69, 72, 69, 71, 69, 65, 0,
                              67, 72, 76, 79, 76, 74, 72, 0,  67, 71, 74, 71, 72, 74, 76, 0};
  const int bass[4] = {45, 41, 48, 43};
  for (int step = 0; step < kSteps; ++step) {
    if (melody[step] != 0) addPluck(song, step * stepSamples, noteFrequency(melody[step]), kEighth * 1.6, 0.5);
    if (step % 8 == 0) {
      const double bassLength = std::min(kEighth * 7.5, static_cast<double>(song.size() - step * stepSamples) / kRate);
      addPluck(song, step * stepSamples, noteFrequency(bass[step / 8]), bassLength, 0.7);
    }
    if (step % 4 == 2) addBell(song, step * stepSamples, noteFrequency(93), kEighth * 0.9, 0.05);
  }
  return encodeWav(song, 0.6);
}

std::vector<uint8_t> makeChime() {
  Samples chime(static_cast<size_t>(0.9 * kRate), 0.0);
  addBell(chime, 0, noteFrequency(81), 0.9, 1.0);
  addBell(chime, static_cast<size_t>(0.07 * kRate), noteFrequency(88), 0.8, 0.5);
  return encodeWav(chime, 0.5);
}

std::vector<uint8_t> makeBlip() {
  const double seconds = 0.12;
  Samples blip(static_cast<size_t>(seconds * kRate), 0.0);
  double phase = 0;
  for (size_t i = 0; i < blip.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double frequency = 620.0 + 900.0 * t / seconds;  // rising
    phase += kTwoPi * frequency / kRate;
    const double envelope = std::min(1.0, t / 0.003) * std::pow(1.0 - t / seconds, 2.0);
    blip[i] = envelope * (std::sin(phase) + 0.2 * std::sin(3 * phase));
  }
  return encodeWav(blip, 0.5);
}

}  // namespace media
