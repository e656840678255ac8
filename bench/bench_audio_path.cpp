// Measures what the program's audio path costs beyond the MP3 encoding itself.
//
// (a) CPU time of bare libmp3lame encoding the synthetic call, in the blocks the mixing
//     worker hands over, with the recording's settings;
// (b) CPU time of the whole path on the same audio: the PCM written over TCP to the two
//     audio servers, cut into blocks and queued, paired and mixed by the worker, encoded by
//     CMp3File and written to a file. The process's CPU time is taken, so it includes the
//     feeding thread that plays Skype's part; that thread's own share is printed beside it.
//
// The audio is fed as fast as the path takes it (the feeder waits while the worker has more
// than a few seconds queued), and the resident memory is sampled along the way to show that a
// long recording does not grow it.

#include "audio/AudioCapture.h"
#include "audio/CMp3File.h"
#include "audio/UniqueFd.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <lame/lame.h>
#include <netinet/in.h>
#include <numbers>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <vector>

namespace {

constexpr int InputRate = CMp3File::InputSampleRate;
constexpr int BlockBytes = BlockPool::BlockBytes;
constexpr int BlockSamples = BlockBytes / 2;
constexpr int TableSeconds = 60;
constexpr int TableBlocks = TableSeconds * 100;
constexpr int BlocksPerSend = 10;                            // Skype writes whole blocks; ten at a time here
constexpr int QueueLimit = BlockPool::InitialBlocks * 3 / 4; // blocks; the pool never grows
constexpr int CheckpointSeconds = 600;

struct Settings {
    long longSeconds = 7200; // the long recording whose memory is watched
    long roundSeconds = 300; // each round of (a) against (b)
    int rounds = 5;
    int rate = 32000;
    int bitrate = 64;
    int mode = 1;
    bool stereo() const { return mode == 1 || mode == 2; }
};

// One minute of each side, played round and round: a voice-like mix of tones with a slow
// swell and some noise, different for the two sides.
struct CallSignal {
    std::vector<std::int16_t> mySide;
    std::vector<std::int16_t> remoteSide;
    std::vector<std::int16_t> encoderInput; // what the worker hands the encoder, for (a)

    explicit CallSignal(bool stereo)
    {
        const std::size_t samples = std::size_t(TableBlocks) * BlockSamples;
        mySide = voice(samples, 220.0, 1);
        remoteSide = voice(samples, 330.0, 2);
        encoderInput.reserve(stereo ? 2 * samples : samples);
        for (std::size_t i = 0; i < samples; ++i) {
            if (stereo) {
                encoderInput.push_back(mySide[i]);
                encoderInput.push_back(remoteSide[i]);
            } else {
                const int sum = mySide[i] + remoteSide[i];
                encoderInput.push_back(std::int16_t(std::clamp(sum, -32768, 32767)));
            }
        }
    }

    static std::vector<std::int16_t> voice(std::size_t samples, double pitch, unsigned seed)
    {
        std::vector<std::int16_t> pcm(samples);
        unsigned noise = seed * 2654435761u;
        for (std::size_t i = 0; i < samples; ++i) {
            const double t = double(i) / InputRate;
            const double swell = 0.55 + 0.45 * std::sin(2.0 * std::numbers::pi * 0.7 * t + seed);
            double v = 0.0;
            for (int h = 1; h <= 4; ++h)
                v += std::sin(2.0 * std::numbers::pi * pitch * h * t) / h;
            noise = noise * 1664525u + 1013904223u;
            v = swell * v * 5000.0 + double(int(noise >> 20) - 2048);
            pcm[i] = std::int16_t(std::clamp(int(std::lround(v)), -32768, 32767));
        }
        return pcm;
    }
};

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A field of /proc/self/status in kB, such as VmRSS or VmHWM.
long statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::atol(line.c_str() + length + 1);
    }
    return -1;
}

double bareLame(const Settings& settings, const CallSignal& signal, long seconds)
{
    const LameHandle encoder = CMp3File::makeEncoder(settings.rate, settings.bitrate, settings.mode);
    if (!encoder) {
        std::fprintf(stderr, "LAME does not start with these settings\n");
        std::exit(1);
    }
    lame_t lame = encoder.get();

    std::vector<unsigned char> out(16384);
    std::vector<std::int16_t> block(std::size_t(2 * BlockSamples));
    const std::size_t blockSamples = settings.stereo() ? 2 * BlockSamples : BlockSamples;
    const long blocks = seconds * 100;
    long long bytes = 0;

    const double start = processCpuSeconds();
    for (long b = 0; b < blocks; ++b) {
        const std::int16_t* pcm = signal.encoderInput.data() + std::size_t(b % TableBlocks) * blockSamples;
        const int written = settings.stereo()
                                ? lame_encode_buffer_interleaved(lame, const_cast<std::int16_t*>(pcm), BlockSamples,
                                                                 out.data(), int(out.size()))
                                : lame_encode_buffer(lame, pcm, nullptr, BlockSamples, out.data(), int(out.size()));
        bytes += written;
    }
    bytes += lame_encode_flush(lame, out.data(), int(out.size()));
    const double cpu = processCpuSeconds() - start;
    std::printf("  (a) bare libmp3lame: %7.2f s CPU  (%lld bytes of MP3)\n", cpu, bytes);
    return cpu;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

UniqueFd connectTo(std::uint16_t port)
{
    UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        std::perror("connect");
        std::exit(1);
    }
    return fd;
}

void sendAll(int fd, const std::int16_t* pcm, std::size_t bytes)
{
    const char* p = reinterpret_cast<const char*>(pcm);
    while (bytes > 0) {
        const ssize_t sent = send(fd, p, bytes, MSG_NOSIGNAL);
        if (sent <= 0) {
            std::perror("send");
            std::exit(1);
        }
        p += sent;
        bytes -= std::size_t(sent);
    }
}

// Plays Skype: streams both sides to the servers, no faster than the worker writes them.
void feed(long seconds, bool watchMemory, const CallSignal& signal, AudioCapture& capture, double& feederCpu)
{
    UniqueFd mySide = connectTo(capture.mySideServer().port());
    UniqueFd remoteSide = connectTo(capture.remoteSideServer().port());
    const MixWorker& worker = capture.mixWorker();
    const long blocks = seconds * 100;
    const double start = threadCpuSeconds();
    for (long b = 0; b < blocks; b += BlocksPerSend) {
        while (worker.queuedMySide() > QueueLimit || worker.queuedRemoteSide() > QueueLimit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const std::size_t offset = std::size_t(b % TableBlocks) * BlockSamples;
        const std::size_t bytes = std::size_t(std::min<long>(BlocksPerSend, blocks - b)) * BlockBytes;
        sendAll(mySide.get(), signal.mySide.data() + offset, bytes);
        sendAll(remoteSide.get(), signal.remoteSide.data() + offset, bytes);
        if (watchMemory && b % (CheckpointSeconds * 100) == 0)
            std::printf("    after %5ld s of audio: VmRSS %6ld kB\n", b / 100, statusKilobytes("VmRSS"));
    }
    feederCpu = threadCpuSeconds() - start;
}

struct PathCost {
    double cpu = 0.0;
    double feederCpu = 0.0;
};

PathCost wholePath(const Settings& settings, const CallSignal& signal, long seconds, bool watchMemory)
{
    QTemporaryDir dir;
    AudioCapture& capture = AudioCapture::instance();
    std::atomic<int> closed{0};
    capture.setConnectionClosedHook([&closed] { ++closed; });
    if (!capture.startMySideServer(0) || !capture.startRemoteSideServer(0)) {
        std::fprintf(stderr, "cannot listen\n");
        std::exit(1);
    }
    const QString base = dir.filePath(QStringLiteral("bench"));
    const auto wallStart = std::chrono::steady_clock::now();
    const double start = processCpuSeconds();
    capture.startRecording(base, settings.rate, settings.bitrate, settings.mode);
    capture.setSide(MixWorker::BothSides);
    capture.setCaptureState(CaptureState::Recording);

    double feederCpu = 0.0;
    std::thread feeder([&] { feed(seconds, watchMemory, signal, capture, feederCpu); });
    feeder.join();
    // The servers have read every byte once they have seen both connections close.
    while (closed.load() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    capture.stopRecording();
    const double cpu = processCpuSeconds() - start;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    const long long size = QFileInfo(base + QStringLiteral(".mp3")).size();
    std::printf("  (b) whole path:      %7.2f s CPU  (%lld bytes of MP3, %.1f s wall; of the CPU, the feeder "
                "playing Skype: %.2f s)\n",
                cpu, size, wall, feederCpu);
    AudioCapture::destroyInstance();
    return {cpu, feederCpu};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Settings settings;
    if (argc > 1)
        settings.longSeconds = std::atol(argv[1]);
    if (argc > 2)
        settings.roundSeconds = std::atol(argv[2]);
    if (argc > 3)
        settings.rounds = std::max(1, std::atoi(argv[3]));
    if (argc > 4)
        settings.rate = std::atoi(argv[4]);
    if (argc > 5)
        settings.bitrate = std::atoi(argv[5]);
    if (argc > 6)
        settings.mode = std::atoi(argv[6]);
    static const char* const modes[] = {"mono", "stereo", "joint stereo"};
    std::printf("audio path: two-sided 16000 Hz PCM -> %s %d Hz %d kbit/s\n",
                settings.mode >= 0 && settings.mode <= 2 ? modes[settings.mode] : "mono", settings.rate,
                settings.bitrate);
    const CallSignal signal(settings.stereo());

    // Rounds alternate (a) and (b) so that a change in the machine's load hits both alike.
    std::vector<double> bare, path, program;
    for (int round = 1; round <= settings.rounds; ++round) {
        std::printf("round %d: %ld s of audio\n", round, settings.roundSeconds);
        bare.push_back(bareLame(settings, signal, settings.roundSeconds));
        const PathCost cost = wholePath(settings, signal, settings.roundSeconds, false);
        path.push_back(cost.cpu);
        program.push_back(cost.cpu - cost.feederCpu);
    }
    const double a = median(bare), b = median(path), ownB = median(program);
    std::printf("median (a) %.2f s, median (b) %.2f s CPU: b/a = %.3f (without the feeder playing Skype: %.3f)\n", a, b,
                b / a, ownB / a);

    std::printf("long recording: %ld s of audio\n", settings.longSeconds);
    const PathCost longRun = wholePath(settings, signal, settings.longSeconds, true);
    const double scaledA = a * double(settings.longSeconds) / double(settings.roundSeconds);
    std::printf("  against the median (a) scaled to this length (%.2f s): b/a = %.3f (without the feeder: %.3f)\n",
                scaledA, longRun.cpu / scaledA, (longRun.cpu - longRun.feederCpu) / scaledA);
    std::printf("peak memory of the process (VmHWM): %ld kB; at the end (VmRSS): %ld kB\n", statusKilobytes("VmHWM"),
                statusKilobytes("VmRSS"));
    return 0;
}
