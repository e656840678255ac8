#pragma once

#include "settings/CProfileBase.h"

#include <QString>

// Every user option of the program, kept under basePath() + "config". The fields are named
// after their registry values. One instance serves the process: Instance() creates it on first
// use with the defaults applied, the main window destroys it at its end with DestroyInstance().
// Used from the user-interface thread only.
class CGeneralProfile final : public CProfileBase {
public:
    CGeneralProfile();
    explicit CGeneralProfile(std::unique_ptr<RegistryBackend> backend);

    static CGeneralProfile& Instance();
    static bool InstanceExists();
    static void DestroyInstance();

    // Writes every setting when the modified flag is set.
    void Save() override;
    // Reads every setting, keeping the value held now for one that is missing or cannot be
    // read, and writes those back so that afterwards every setting is stored.
    void Load() override;
    void Defaults() override;

    // The encoder values of the index settings; an index outside its table gives 0.
    static int bitrateFromIndex(int abitrate);   // kbit/s
    static int sampleRateFromIndex(int asample); // Hz
    static int channelModeFromIndex(int amode);  // 0 mono, 1 stereo, 2 joint stereo; mono for any other

    bool autostart;      // start the program when the user logs on
    bool notifycov;      // show the main window when a conversation starts and nothing is recorded
    bool notifyfinish;   // show the main window when a recording finishes
    bool notifyhistory;  // show the history window when a recording finishes
    QString position;    // kept, but used by no window
    QString hispos;      // window rectangle "left,top,right,bottom"
    bool starthide;      // hide to the tray at start-up
    bool topmost;        // keep the main window above all others
    bool sticksky;       // keep the main window stuck to Skype's window
    bool rectype;        // record calls automatically when they start
    int recside;         // 0 both sides, 1 my side only, 2 remote side only
    QString sfolder;     // folder of the recordings
    int amode;           // channel mode index
    int abitrate;        // bit rate index
    int asample;         // sample rate index
    bool chatreply;      // answer incoming chats automatically
    bool onlinereply;    // also while the user is online
    bool notonlinereply; // while away, not available or do not disturb
    QString replytxt;    // the automatic reply

private:
    // Calls visit(name, field) for every setting, in the order they are stored.
    template <typename Visitor> void forEachSetting(Visitor&& visit);

    QString settingsKey() const;
    void load(const QString& name, bool& value);
    void load(const QString& name, int& value);
    void load(const QString& name, QString& value);
    void save(const QString& name, bool value);
    void save(const QString& name, int value);
    void save(const QString& name, const QString& value);
};
