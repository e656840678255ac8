#pragma once

#include <memory>
#include <mpg123.h>

// Sole owner of an mpg123 decoder; closes its file and deletes it.
struct Mpg123Closer {
    void operator()(mpg123_handle* handle) const
    {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Mpg123Handle = std::unique_ptr<mpg123_handle, Mpg123Closer>;

// A quiet decoder that gives 16-bit signed samples at the file's own rate and channel count;
// null when the library cannot make one.
inline Mpg123Handle newSixteenBitDecoder()
{
    // Needed once per process by libraries before 1.27; later ones ignore it.
    [[maybe_unused]] static const int initialised = mpg123_init();
    Mpg123Handle decoder(mpg123_new(nullptr, nullptr));
    if (!decoder)
        return decoder;
    mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(decoder.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(decoder.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return decoder;
}
