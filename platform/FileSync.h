#pragma once

#include <functional>

class QByteArray;
class QFileDevice;
class QSaveFile;
class QString;

// Asks the system to put what was written to the open file on the disk itself, so that a file
// renamed into place afterwards never turns out empty or partial after a power cut.
// False when the system reports a write error.
bool SyncToDisk(QFileDevice& file);

// Writes a whole file: the contents go to a temporary file in the same folder, reach the disk,
// and only then take the file's place, so the file is always either the old one or the new one
// in full. False, with the old file untouched, when any step fails, a full disk included.
// `replace` is the last step, the commit of the temporary file when none is given.
bool WriteWholeFile(const QString& path, const QByteArray& contents,
                    const std::function<bool(QSaveFile&)>& replace = {});
