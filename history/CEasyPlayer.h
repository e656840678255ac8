#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

// Plays one MP3 file at a time for the history window: decodes it on demand with libmpg123
// and hands the sound to an SDL audio device. Positions and lengths are in milliseconds, the
// length exact (the file is scanned when opened). The volume, 0..1000, scales the samples and
// carries over to the next file. A file that does not decode opens as nothing: length and
// position 0, so whoever waits for the end sees it at once. User-interface thread only.
class CEasyPlayer {
public:
    static constexpr int MaxVolume = 1000;

    CEasyPlayer();
    ~CEasyPlayer();
    CEasyPlayer(const CEasyPlayer&) = delete;
    CEasyPlayer& operator=(const CEasyPlayer&) = delete;

    void SetMediaPath(const QString& path);
    QString mediaPath() const { return m_path; }
    // Opens the remembered file in place of the one open before, paused at its start. False
    // when it cannot be read or decoded; nothing is open then.
    bool CreatePlaybackWindow();
    // Stops and closes the open file, if any.
    void close();
    bool isOpen() const { return m_playback != nullptr; }

    void play();
    void pause();
    // Stops the sound where it is; seek(0) rewinds.
    void stop();
    bool isPlaying() const { return m_playing; }
    // Moves to the position (clamped to the file); playing or not stays as it was.
    void seek(qint64 milliseconds);
    qint64 length() const;
    // Where the sound has got to: a buffer counts once the device has asked for the next one, so
    // the length is reached only after the last sound has gone out.
    qint64 position() const;

    void setVolume(int volume);
    int volume() const { return m_volume; }

private:
    struct Playback;

    QString m_path;
    std::unique_ptr<Playback> m_playback;
    int m_volume = MaxVolume;
    bool m_playing = false;
};
