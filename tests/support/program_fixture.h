#pragma once

#include "engine/media_engine.h"
#include "ui/frm_tembrel.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class ListBox;

// A program folder of its own for each test: start-up reads and exit writes
// the settings file beside a (non-existent) program file in it.
class ProgramFolder {
public:
    ProgramFolder();

    // Folder of the program file, ending in "/".
    QString Path() const;
    QString ProgramFile() const;
    QString SettingsFile() const;
    // Writes the settings file with the given text.
    void WriteSettings(const QByteArray& text) const;
    // The settings file's text; empty when missing.
    QString ReadSettings() const;
    // Runs the start-up routine with the given arguments.
    std::unique_ptr<frmTembrel> Start(const QStringList& arguments = {},
                                      MediaEngineFactory engineFactory = {}) const;

private:
    QTemporaryDir folder_;
};

// Creates an empty file (and its folders) under a root folder.
void TouchFile(const QString& root, const QString& relativePath);

// Texts of all lines of a list box.
QStringList Lines(const ListBox* list);
