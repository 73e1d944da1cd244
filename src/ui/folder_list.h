#pragma once

#include <QFrame>
#include <QStringList>

// The folder list behind the file browser: holds the current folder and its
// subfolders. The root is reported as "/", any other folder without a
// trailing "/". A folder that does not exist or cannot be read is refused.
class FolderList : public QFrame {
    Q_OBJECT
public:
    // Starts in the process's working folder.
    explicit FolderList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Enters a folder (relative paths resolve against the working folder).
    // Reports Change when the folder changed; entering the current folder
    // changes nothing. False when the folder cannot be entered.
    bool SetPath(const QString& path);
    // Number of subfolders of the current folder.
    int ListCount() const;
    // Full path of subfolder i, in name order.
    QString List(int index) const;

signals:
    void Change();

private:
    void EnsureListed() const;

    QString path_;
    mutable QStringList subfolders_;
    mutable bool listed_ = false;
};

// The file list behind the file browser: the files of one folder whose names
// match its pattern ("*.mp3;*.flac", letter case ignored), in name order.
class FileList : public QFrame {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Lists the matching files of the folder again; false (and no files) when
    // it cannot be read.
    bool SetPath(const QString& path);
    QString Pattern() const { return pattern_; }
    void SetPattern(const QString& pattern);
    int ListCount() const { return static_cast<int>(files_.size()); }
    // Name of matching file i, without its folder.
    QString List(int index) const { return files_.value(index); }

private:
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    QStringList files_;
};

// Absolute, cleaned form of a folder path: "/" for the root, no trailing "/".
QString CleanFolderPath(const QString& path);
