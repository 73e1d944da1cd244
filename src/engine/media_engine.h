#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The program's interface to one open audio file: decoding, output and the
// playback position. One engine serves one file; opening another file means
// destroying this engine and creating a new one. Destroying an engine ends
// its playback at once.
//
// Promises every implementation keeps:
// - A new engine plays at full volume (0), centre balance (0) and rate 1.
// - RenderFile is synchronous: when it returns true, the file is paused at
//   position 0 and every other call works. Its length is exact, or, for an
//   MP3 whose frames are still being walked, an estimate that changes once
//   to the exact length (LengthFinal tells which).
//   It returns false for a missing, damaged or unplayable file within a
//   bounded time, and never blocks on special files (folders, FIFOs).
// - A seek is synchronous and exact: the next CurrentPosition returns the
//   target, and the next sound played starts at that sample, in any state.
// - The position stays within 0..Duration: targets below 0 go to 0, targets
//   past the end go to the end. At the end of the file playback stops by
//   itself and the position stays at the length; nothing is reported. The
//   engine still counts as running: a seek back plays on from the target.
// - Volume, balance and rate stay set until changed, across seeks, pauses
//   and Stop. Values outside their ranges are brought to the nearest end.
// - Before a successful RenderFile, and after a failed one, every call
//   returns false (or no value) and changes nothing. Callers outside the
//   open ignore the results.
class MediaEngine {
public:
    virtual ~MediaEngine() = default;

    // Builds the playback chain for the file and leaves it paused at 0.
    // Only the first call on an engine can succeed.
    virtual bool RenderFile(const QString& path) = 0;

    // Starts or resumes playback from the current position.
    virtual bool Run() = 0;
    // Holds playback at the current position.
    virtual bool Pause() = 0;
    // Holds playback; the caller seeks to 0 afterwards.
    virtual bool Stop() = 0;

    // Length of the file in seconds.
    virtual std::optional<double> Duration() = 0;
    // Playback position in seconds, within 0..Duration.
    virtual std::optional<double> CurrentPosition() = 0;
    // Moves the playback position to the target in seconds (clamped).
    virtual bool SetCurrentPosition(double seconds) = 0;

    // Loops the section between two whole seconds: whenever playback
    // reaches the end from before it, it goes on at the start without a gap;
    // the position read stays the file's. False (nothing changes) for an
    // end not after the start.
    virtual bool SetLoop(int startSecond, int endSecond) = 0;
    // Stops looping: playback goes on past the section's end.
    virtual bool ClearLoop() = 0;

    // Playback speed factor, 0.1 to 2.0; the pitch is kept.
    virtual bool SetRate(double rate) = 0;
    // Volume in hundredths of a decibel: 0 full, -2000 a tenth of the
    // amplitude, -5000 nearly silent (down to -10000).
    virtual bool SetVolume(long hundredthsOfDecibel) = 0;
    // False while the length is still an estimate (an MP3 whose frames are
    // being walked); Duration then changes once, to the exact length.
    virtual bool LengthFinal() { return true; }

    // Why the last call that failed did so, for a log; empty when none did.
    virtual QString ErrorText() const { return QString(); }

    // Balance in hundredths of a decibel: a negative value lowers the right
    // channel by that much (-2500: by 25 dB), a positive one the left; 0
    // leaves both.
    virtual bool SetBalance(long hundredthsOfDecibel) = 0;
};

// Creates a fresh engine for each open; injected into the main window.
using MediaEngineFactory = std::function<std::unique_ptr<MediaEngine>()>;
