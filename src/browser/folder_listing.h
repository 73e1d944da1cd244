#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The volume list lives beside the folder listing; callers of either include
// this header.
#include "browser/mounted_volumes.h"

// The visible content of one folder: names only, without paths.
struct FolderListing {
    QStringList subfolders;
    QStringList files;
};

// Lists the subfolders (links to folders count as folders) and the files
// matching any of the patterns (see MatchesPattern). Hidden entries (names
// starting with ".") are left out. Each list is sorted by name regardless of
// letter case, ties in a fixed case-sensitive order. nullopt when the folder
// does not exist, is not a folder or cannot be read to its end.
std::optional<FolderListing> ListFolder(const QString& folder, const QStringList& patterns);

// True when name matches one of the wildcard patterns ("*" any run of
// characters, "?" one character) regardless of letter case. An entry may hold
// several patterns separated by ";" ("*.mp3;*.flac").
bool MatchesPattern(const QString& name, const QStringList& patterns);
