#pragma once

class QFileDevice;

// Asks the system to put what was written to the open file on the disk itself, so that a file
// renamed into place afterwards never turns out empty or partial after a power cut.
// False when the system reports a write error.
bool SyncToDisk(QFileDevice& file);
