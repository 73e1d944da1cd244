#include "browser/folder_listing.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// Wildcard match of the whole name, case-blind; "*" backtracks to its latest
// position only, which is enough for a greedy match without blow-up.
bool MatchesOne(QStringView name, QStringView pattern) {
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starPattern = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starPattern >= 0) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

bool NameLess(const QString& a, const QString& b) {
    const int blind = a.compare(b, Qt::CaseInsensitive);
    return blind != 0 ? blind < 0 : a < b;
}

}  // namespace

bool MatchesPattern(const QString& name, const QStringList& patterns) {
    for (const QString& entry : patterns) {
        for (QStringView pattern : QStringView(entry).split(u';', Qt::SkipEmptyParts)) {
            if (MatchesOne(name, pattern.trimmed())) {
                return true;
            }
        }
    }
    return false;
}

std::optional<FolderListing> ListFolder(const QString& folder, const QStringList& patterns) {
    namespace fs = std::filesystem;
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    const fs::path root(QFile::encodeName(folder).toStdString());
    std::error_code error;
    // The entry types come from the directory itself; only links and file
    // systems that do not report types cost an extra status call.
    fs::directory_iterator it(root, error);
    if (error) {
        return std::nullopt;
    }
    FolderListing listing;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            return std::nullopt;
        }
        const std::string native = it->path().filename().native();
        if (native.empty() || native.front() == '.') {
            continue;
        }
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            listing.subfolders.append(QFile::decodeName(native.c_str()));
        } else if (it->is_regular_file(typeError)) {
            QString name = QFile::decodeName(native.c_str());
            if (MatchesPattern(name, patterns)) {
                listing.files.append(std::move(name));
            }
        }
    }
    if (error) {
        return std::nullopt;
    }
    std::sort(listing.subfolders.begin(), listing.subfolders.end(), NameLess);
    std::sort(listing.files.begin(), listing.files.end(), NameLess);
    return listing;
}
