// The demo recording's sound: a chord progression over a click, each section
// with its own instruments so that cue points and loops can be heard.
#include "demo_rehearsal.h"
#include "demo_sections.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kTableSize = 4096;

// MIDI note numbers of a chord's three tones in the middle register.
std::array<int, 3> ChordNotes(const char* chord) {
    struct Entry {
        const char* name;
        std::array<int, 3> notes;
    };
    static constexpr Entry kChords[] = {
        {"C", {60, 64, 67}}, {"G", {55, 59, 62}},  {"Am", {57, 60, 64}},
        {"F", {53, 57, 60}}, {"Em", {52, 55, 59}},
    };
    for (const Entry& entry : kChords) {
        if (std::strcmp(entry.name, chord) == 0) {
            return entry.notes;
        }
    }
    return kChords[0].notes;
}

// Frequency in Hz of a MIDI note number (0 to 127), from a table made once.
double Frequency(int note) {
    static const std::array<double, 128> kTable = [] {
        std::array<double, 128> table{};
        for (int i = 0; i < 128; ++i) {
            table[i] = 440.0 * std::pow(2.0, (i - 69) / 12.0);
        }
        return table;
    }();
    return kTable[std::clamp(note, 0, 127)];
}

// A sine by table lookup: the whole recording needs tens of millions of them.
class SineTable {
public:
    SineTable() : table_(kTableSize + 1) {
        for (int i = 0; i <= kTableSize; ++i) {
            table_[i] = std::sin(2 * std::numbers::pi * i / kTableSize);
        }
    }

    // sin(2 pi f t) for a frequency in Hz and a time in seconds.
    double operator()(double frequency, double time) const {
        double cycles = frequency * time;
        const double position = (cycles - std::floor(cycles)) * kTableSize;
        const int index = static_cast<int>(position);
        const double fraction = position - index;
        return table_[index] + (table_[index + 1] - table_[index]) * fraction;
    }

private:
    std::vector<double> table_;
};

// A struck note: quick attack, then an exponential decay.
double Strike(double sinceStart, double decaySeconds) {
    // Past twenty decay times the note is inaudible; stopping there saves time.
    const double decays = sinceStart / decaySeconds;
    if (sinceStart < 0 || decays > 20) {
        return 0;
    }
    const double attack = std::min(1.0, sinceStart / 0.005);
    return attack * std::exp(-decays);
}

// A held chord that swells in and fades at the bar's end to avoid clicks.
double Held(double inBar) {
    const double in = std::min(1.0, inBar / 0.03);
    const double out = std::min(1.0, (kDemoSecondsPerBar - inBar) / 0.03);
    return std::max(0.0, std::min(in, out));
}

struct Frame {
    double left = 0;
    double right = 0;

    void Add(double value, double pan) {
        left += value * (1 - pan);
        right += value * (1 + pan);
    }
};

// One sample of a section at time t (seconds from the start of the recording).
Frame Sample(const SineTable& sine, const DemoSection& section, double t) {
    const double sectionStart = section.firstBar * kDemoSecondsPerBar;
    const int bar = static_cast<int>((t - sectionStart) / kDemoSecondsPerBar);
    const double inBar = t - sectionStart - bar * kDemoSecondsPerBar;
    const int beat = static_cast<int>(inBar / kDemoSecondsPerBeat);
    const double inBeat = inBar - beat * kDemoSecondsPerBeat;
    const std::array<int, 3> notes = ChordNotes(section.chords[bar % section.chords.size()]);
    Frame frame;

    const bool click =
        section.style != DemoStyle::kBridge && !(section.style == DemoStyle::kOutro && bar >= 8);
    if (click) {
        const double pitch = beat == 0 ? 2000.0 : 1200.0;
        frame.Add(0.35 * Strike(inBeat, 0.012) * sine(pitch, inBeat), -0.5);
    }

    double pad = 0;
    for (int note : notes) {
        const double f = Frequency(note);
        switch (section.style) {
            case DemoStyle::kChorus:
                pad += sine(f, t) + 0.5 * sine(2 * f, t) + 0.25 * sine(3 * f, t);
                break;
            case DemoStyle::kBridge:
                pad += sine(f / 2, t) + 0.3 * sine(f, t);
                break;
            default:
                pad += sine(f, t);
        }
    }
    double padLevel = section.style == DemoStyle::kIntro ? 0.03 : 0.06;
    if (section.style == DemoStyle::kBridge) {
        padLevel *= 1.0 + 0.4 * sine(4.0, t);  // a slow tremolo
    }
    frame.Add(padLevel * Held(inBar) * pad, 0.0);

    if (section.style != DemoStyle::kIntro) {
        // Bass on beats one and three; the bridge holds it through the bar.
        const double f = Frequency(notes[0] - 12);
        const double since = section.style == DemoStyle::kBridge ? inBar : std::fmod(inBar, 1.0);
        const double decay = section.style == DemoStyle::kBridge ? 1.5 : 0.35;
        frame.Add(0.22 * Strike(since, decay) * Held(inBar) * (sine(f, t) + 0.3 * sine(2 * f, t)),
                  0.0);
    }

    if (section.style == DemoStyle::kChorus) {
        // Eighth notes climbing through the chord an octave up.
        const double eighth = kDemoSecondsPerBeat / 2;
        const int step = static_cast<int>(inBar / eighth);
        const double f = Frequency(notes[step % 3] + 12);
        frame.Add(0.12 * Strike(inBar - step * eighth, 0.15) * sine(f, t), 0.5);
    }

    if (section.style == DemoStyle::kOutro) {
        const double end = (section.firstBar + section.bars) * kDemoSecondsPerBar;
        const double fade = std::clamp((end - t) / (section.bars * kDemoSecondsPerBar), 0.0, 1.0);
        frame.left *= fade;
        frame.right *= fade;
    }
    return frame;
}

// Writes an unsigned number of the given byte count, least significant first.
void PutLe(char* out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A 16-bit sample from a value in -1..1 (clipped beyond).
qint16 ToSample(double value) {
    return static_cast<qint16>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
}

}  // namespace

QByteArray DemoRecordingBytes() {
    const qint64 frames = qint64(kDemoSeconds) * kRate;
    const quint32 dataBytes = static_cast<quint32>(frames * kChannels * 2);
    QByteArray bytes(44 + dataBytes, '\0');
    char* out = bytes.data();
    std::memcpy(out, "RIFF", 4);
    PutLe(out + 4, 36 + dataBytes, 4);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    PutLe(out + 16, 16, 4);
    PutLe(out + 20, 1, 2);  // PCM
    PutLe(out + 22, kChannels, 2);
    PutLe(out + 24, kRate, 4);
    PutLe(out + 28, kRate * kChannels * 2, 4);
    PutLe(out + 32, kChannels * 2, 2);
    PutLe(out + 34, 16, 2);
    std::memcpy(out + 36, "data", 4);
    PutLe(out + 40, dataBytes, 4);

    const SineTable sine;
    char* sample = out + 44;
    for (const DemoSection& section : kDemoSections) {
        const qint64 first = qint64(section.firstBar * kDemoSecondsPerBar * kRate);
        const qint64 last = std::min<qint64>(
            frames, qint64((section.firstBar + section.bars) * kDemoSecondsPerBar * kRate));
        for (qint64 i = first; i < last; ++i) {
            const Frame frame = Sample(sine, section, double(i) / kRate);
            qToLittleEndian(ToSample(frame.left), sample);
            qToLittleEndian(ToSample(frame.right), sample + 2);
            sample += 4;
        }
    }
    return bytes;
}
