#pragma once

// The form of the demo song, shared by its sound and its cue points.

#include <array>

// How a section is played.
enum class DemoStyle { kIntro, kVerse, kChorus, kBridge, kOutro };

// One section: its first bar, its number of bars, its cue title (none for the
// start) and the chords it cycles through, one per bar.
struct DemoSection {
    int firstBar;
    int bars;
    const char* title;
    DemoStyle style;
    std::array<const char*, 4> chords;
};

// Tempo of the demo song: 120 beats a minute in four, so a bar lasts 2 s.
inline constexpr int kDemoBeatsPerBar = 4;
inline constexpr double kDemoSecondsPerBeat = 0.5;
inline constexpr double kDemoSecondsPerBar = kDemoBeatsPerBar * kDemoSecondsPerBeat;

inline constexpr std::array<DemoSection, 6> kDemoSections = {{
    {0, 4, nullptr, DemoStyle::kIntro, {"C", "C", "C", "C"}},
    {4, 12, "Verse 1", DemoStyle::kVerse, {"C", "G", "Am", "F"}},
    {16, 12, "Chorus", DemoStyle::kChorus, {"F", "G", "C", "Am"}},
    {28, 12, "Verse 2", DemoStyle::kVerse, {"C", "G", "Am", "F"}},
    {40, 10, "Bridge", DemoStyle::kBridge, {"Am", "Em", "F", "G"}},
    {50, 10, "Outro", DemoStyle::kOutro, {"C", "F", "C", "G"}},
}};
