#include "audio/CMp3File.h"

#include "audio/CBuffer.h"
#include "platform/MessageBoxService.h"
#include "platform/ProductName.h"

#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

// LAME's own worst case for one call: 1.25 bytes per sample plus 7200.
int outputSpaceFor(int samplesPerChannel)
{
    return samplesPerChannel + samplesPerChannel / 4 + 7200;
}

// LAME's quality 3, on its scale from 0 (best, slowest) to 9 (fastest), chosen for the
// recording's encoder. Recordings are constant bit rate.
constexpr int EncoderQuality = 3;

void reportCreateFailure(int error)
{
    const char* text = std::strerror(error);
    if (!text || !*text)
        return;
    MessageRequest request;
    request.caption = productName() + QStringLiteral(" Create Mp3 File Failed!");
    request.text = QString::fromLocal8Bit(text);
    request.icon = MessageIcon::Error;
    MessageBoxService::show(request);
}

} // namespace

CMp3File::~CMp3File()
{
    Close();
}

bool CMp3File::Open(const QString& path, int sampleRate, int bitrate, int mode)
{
    if (path.isEmpty())
        return false;
    Close();

    m_file.reset(std::fopen(QFile::encodeName(path).constData(), "w+b"));
    if (!m_file) {
        reportCreateFailure(errno);
        return false;
    }
    if (!startEncoder(sampleRate, bitrate, mode)) {
        // The empty file stays on disk; the recording simply writes nothing.
        m_file.reset();
        return false;
    }
    m_closed = 0;
    return true;
}

LameHandle CMp3File::makeEncoder(int sampleRate, int bitrate, int mode)
{
    LameHandle lame(lame_init());
    if (!lame)
        return lame;
    const bool stereo = mode == 1 || mode == 2;
    lame_set_in_samplerate(lame.get(), InputSampleRate);
    lame_set_num_channels(lame.get(), stereo ? 2 : 1);
    lame_set_mode(lame.get(), mode == 1 ? STEREO : mode == 2 ? JOINT_STEREO : MONO);
    lame_set_out_samplerate(lame.get(), sampleRate);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), bitrate);
    lame_set_quality(lame.get(), EncoderQuality);
    lame_set_original(lame.get(), 1);
    lame_set_disable_reservoir(lame.get(), 1);
    // Nothing but audio frames: no Xing/Info frame, no ID3 tags.
    lame_set_bWriteVbrTag(lame.get(), 0);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0)
        lame.reset();
    return lame;
}

bool CMp3File::startEncoder(int sampleRate, int bitrate, int mode)
{
    LameHandle lame = makeEncoder(sampleRate, bitrate, mode);
    if (!lame)
        return false;
    m_outputSampleRate = lame_get_out_samplerate(lame.get());
    m_bitrate = lame_get_brate(lame.get());
    m_channels = lame_get_num_channels(lame.get());
    m_output.resize(static_cast<std::size_t>(outputSpaceFor(1152)));
    m_lame = std::move(lame);
    return true;
}

bool CMp3File::Write(const CBuffer& block)
{
    if (m_closed || !m_file || !m_lame)
        return false;
    const int samples = block.sampleCount();
    const int perChannel = m_channels == 2 ? samples / 2 : samples;
    const std::size_t needed = static_cast<std::size_t>(outputSpaceFor(perChannel));
    if (m_output.size() < needed)
        m_output.resize(needed);

    const int room = static_cast<int>(m_output.size());
    const int bytes =
        m_channels == 2
            ? lame_encode_buffer_interleaved(m_lame.get(), block.samples(), perChannel, m_output.data(), room)
            : lame_encode_buffer(m_lame.get(), block.samples(), nullptr, perChannel, m_output.data(), room);
    if (bytes < 0)
        return false;
    return writeOutput(bytes);
}

bool CMp3File::writeOutput(int bytes)
{
    if (bytes == 0)
        return true;
    const std::size_t count = static_cast<std::size_t>(bytes);
    return std::fwrite(m_output.data(), 1, count, m_file.get()) == count;
}

bool CMp3File::Close()
{
    if (!m_closed)
        finish();
    return true;
}

void CMp3File::finish()
{
    // The encoder still holds up to a few frames of the last audio; they belong in the file.
    const int finalBytes = lame_encode_flush(m_lame.get(), m_output.data(), static_cast<int>(m_output.size()));
    if (finalBytes > 0)
        writeOutput(finalBytes);
    forgetEncoder();
    m_file.reset();
    m_output = {};
    m_closed = 1;
}

void CMp3File::forgetEncoder()
{
    m_lame.reset();
    m_outputSampleRate = 0;
    m_bitrate = 0;
    m_channels = 0;
}
