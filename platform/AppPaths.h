#pragma once

#include <QString>

// The places where the program keeps its files on this desktop.
namespace AppPaths {

// The user's documents folder + "/Tallowin Skype Recorder": the default recording folder.
QString DefaultRecordingFolder();
// The user's data folder + "/Tallowin/" (with the final slash): home of record.xml.
QString DataFolder();
// DataFolder() + "record.xml".
QString HistoryFile();
// The folder for per-session runtime files such as the single-instance lock.
QString RuntimeFolder();

} // namespace AppPaths
