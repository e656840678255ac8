#pragma once

class CBuffer;

// A sound file writer as the mixing worker sees it: blocks of 16-bit PCM go in, Close finishes
// the file.
class IWriteToFile {
public:
    // Appends a block of 16-bit PCM samples (interleaved, left first, when the file has two
    // channels). True on success.
    virtual bool Write(const CBuffer& block) = 0;
    // Finishes and closes the file. Always true.
    virtual bool Close() = 0;
    virtual ~IWriteToFile() = default;
};
