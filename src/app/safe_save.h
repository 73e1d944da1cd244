#pragma once

#include <QByteArray>
#include <QString>

// Saving a file the program writes (cue file, lyrics file, settings) so that a
// failure or a crash never leaves a damaged file, and so that a save never
// changes what the path is.

// Replaces the file's bytes. Normally the bytes go to a hidden temporary beside
// the file (".<name>.<6 letters or digits>.tembrel-save"), which is synced and
// renamed over the file, and the folder is synced; a crash leaves either the
// old or the new file, and at most a hidden temporary. Where a rename would
// change what the file is (several hard links, another owner, a group that
// cannot be kept) or cannot be done (a writable file in a folder we may not
// write), the file is written in place with its mode and owner kept; the space
// is reserved first, so a full disk fails before the old bytes change.
// A symbolic link to a regular file is written through and stays a link. A
// dangling link, a folder, a FIFO or a device at the path fails at once, and
// nothing is created through a link.
// Each save removes the temporaries of the same file that are older than a
// minute (left by a crash). On failure the old file stays whole, the result is
// false and *error, when given, receives a short English reason naming the path.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
