#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text-level path operations and small file operations shared by the whole
// program. Paths use "/" as separator; folder paths the program keeps end in
// "/".

// Appends "/" unless the path already ends in one (an empty path becomes "/").
// The caller's variable receives the result too.
QString AddBackslash(QString& path);

// The last component of a path, ignoring one trailing "/": "/music/live/" gives
// "live", "a.mp3" gives "a.mp3", "/" gives "".
QString LastPartOf(const QString& path);

// The path without the extension of its last component (from its last "."
// on): "/music/Take 3.flac" gives "/music/Take 3", a name without "." stays.
QString WithoutExtension(const QString& path);

// The folder of a file path without a trailing "/": "/music/a.mp3" gives
// "/music", "/a.mp3" gives "/", a bare name is returned unchanged.
QString FolderPartOf(const QString& path);

// One folder level up, with a trailing "/": "/music/live" gives "/music/",
// "/music" and "/" give "/". A path without any "/" is returned unchanged.
QString ParentFolderOf(const QString& path);

// The absolute, cleaned form of an existing path (a relative path resolves
// against the working folder). A path that does not exist comes back unchanged.
QString LongPathOf(const QString& path);

// Removes every double quote. The caller's variable receives the result too.
QString StripQuotes(QString& text);

// True when the path names a regular file that can be opened for reading.
// Folders, devices and FIFOs give false without being opened.
bool FileExists(const QString& path);

// All bytes of a regular file; nullopt when it is missing, not a regular file
// or cannot be read. Never blocks on a FIFO and never shows anything.
std::optional<QByteArray> ReadFileBytes(const QString& path);
