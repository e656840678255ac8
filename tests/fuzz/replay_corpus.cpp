// Plays every input of the fuzzing corpus through the fuzz target once, without libFuzzer, so the
// ordinary and sanitizer test runs keep the hostile texts found so far as regression cases.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>...\n", argv[0]);
        return 2;
    }
    LLVMFuzzerInitialize(&argc, &argv);
    int played = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfoList files = QDir(QString::fromLocal8Bit(argv[i])).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& info : files) {
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray input = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.constData()), std::size_t(input.size()));
            ++played;
        }
    }
    std::printf("replay_corpus: %d inputs played\n", played);
    return played > 0 ? 0 : 1;
}
