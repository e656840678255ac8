#pragma once

#include "audio/IWriteToFile.h"
#include "audio/LameHandle.h"
#include "audio/StdioFile.h"

#include <QString>
#include <cstdint>
#include <vector>

// Writes one recording as an MP3 file: 16000 Hz 16-bit PCM in, LAME's output and nothing else
// in the file. One object serves every recording of a run: Open, Write..., Close, Open again.
class CMp3File : public IWriteToFile {
public:
    static constexpr int InputSampleRate = 16000;

    CMp3File() = default;
    ~CMp3File() override;

    CMp3File(const CMp3File&) = delete;
    CMp3File& operator=(const CMp3File&) = delete;

    // Creates (or truncates) the file and starts the encoder. sampleRate is the output rate in Hz,
    // bitrate in kbit/s, mode 0 mono, 1 stereo, 2 joint stereo (anything else is mono). A value
    // of 0 leaves the choice to LAME; outputSampleRate() and bitrate() tell what it took.
    // A file that cannot be created is reported in a message box; an encoder that will not
    // start fails quietly and leaves the empty file behind.
    bool Open(const QString& path, int sampleRate, int bitrate, int mode);
    bool Write(const CBuffer& block) override;
    bool Close() override;

    bool isOpen() const { return !m_closed; }
    // What the encoder actually uses, read back after it started; 0 while closed.
    int outputSampleRate() const { return m_outputSampleRate; }
    int bitrate() const { return m_bitrate; }
    int channels() const { return m_channels; }

    // A started LAME encoder for the program's input, with the settings Open takes; null when
    // LAME will not start with them.
    static LameHandle makeEncoder(int sampleRate, int bitrate, int mode);

private:
    bool startEncoder(int sampleRate, int bitrate, int mode);
    bool writeOutput(int bytes);
    void finish();
    void forgetEncoder();

    StdioFile m_file;
    LameHandle m_lame;
    std::vector<unsigned char> m_output;
    int m_outputSampleRate = 0;
    int m_bitrate = 0;
    int m_channels = 0;
    std::uint8_t m_closed = 1;
};
