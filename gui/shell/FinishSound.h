#pragma once
// The finish sound: "MeasurementFinish.wav" of the working folder, played asynchronously on the
// user-interface thread whatever thread asks. A missing file or no audio device is silent.
#include <string>

class CFinishSound {
public:
    static constexpr const char* kFileName = "MeasurementFinish.wav";

    // Safe from any thread.
    static void Play();
    // Writes a short two-tone chime as a 16-bit mono WAV file (the demo's working folder gets one).
    static bool WriteChime(const std::string& path);
};
