// Writes the five cue files as short generated tones (16-bit PCM WAV, mono),
// so the project ships no recorded sound. Existing files are left alone.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note {
    double startHz;
    double endHz; // a sweep when different from startHz
    double seconds;
    double pauseAfter;
};

std::vector<std::int16_t> render(const std::vector<Note>& notes)
{
    std::vector<std::int16_t> samples;
    double phase = 0;
    for (const Note& note : notes) {
        const int count = static_cast<int>(note.seconds * kRate);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / count;
            const double hz = note.startHz + (note.endHz - note.startHz) * t;
            phase += 2 * kPi * hz / kRate;
            // Short attack, exponential decay: a soft bell rather than a click.
            const double envelope = std::min(1.0, i / (0.005 * kRate)) * std::exp(-3.0 * t);
            const double value = (std::sin(phase) + 0.3 * std::sin(2 * phase)) / 1.3;
            samples.push_back(static_cast<std::int16_t>(value * envelope * 0.6 * 32767));
        }
        samples.insert(samples.end(), static_cast<size_t>(note.pauseAfter * kRate), 0);
    }
    return samples;
}

void put32(std::ofstream& out, std::uint32_t v)
{
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.write(b, 4);
}

void put16(std::ofstream& out, std::uint16_t v)
{
    const char b[2] = {char(v), char(v >> 8)};
    out.write(b, 2);
}

bool writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples)
{
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-cues SOUND_FOLDER\n");
        return 1;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    const std::pair<const char*, std::vector<Note>> cues[] = {
        // the speech timer starts: two rising beeps
        {"start.wav", {{880, 880, 0.12, 0.05}, {1320, 1320, 0.2, 0}}},
        // a result is shown: one clear bell
        {"type.wav", {{1046.5, 1046.5, 0.45, 0}}},
        // a rolling draw starts: an upward sweep
        {"type0.wav", {{400, 1200, 0.45, 0}}},
        // time is up, or a prize draw comes to rest: three low beeps
        {"over.wav", {{660, 660, 0.16, 0.08}, {660, 660, 0.16, 0.08}, {660, 660, 0.3, 0}}},
        // a result was saved: a rising third
        {"yes.wav", {{784, 784, 0.14, 0.02}, {988, 988, 0.3, 0}}},
    };
    for (const auto& [name, notes] : cues) {
        const auto path = folder / name;
        if (std::filesystem::exists(path))
            continue;
        if (!writeWav(path, render(notes))) {
            std::fprintf(stderr, "make-cues: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
