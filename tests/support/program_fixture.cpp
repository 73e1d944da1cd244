#include "support/program_fixture.h"

#include "app/app_module.h"
#include "ui/list_box.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ProgramFolder::ProgramFolder() = default;

QString ProgramFolder::Path() const {
    return folder_.path() + QLatin1Char('/');
}

QString ProgramFolder::ProgramFile() const {
    return Path() + QStringLiteral("tembrel");
}

QString ProgramFolder::SettingsFile() const {
    return Path() + QStringLiteral("tembrel.ini");
}

void ProgramFolder::WriteSettings(const QByteArray& text) const {
    QFile file(SettingsFile());
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text);
    }
}

QString ProgramFolder::ReadSettings() const {
    QFile file(SettingsFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::unique_ptr<frmTembrel> ProgramFolder::Start(const QStringList& arguments,
                                                 MediaEngineFactory engineFactory) const {
    if (!engineFactory) {
        engineFactory = [] { return std::unique_ptr<MediaEngine>(); };
    }
    return Main(ProgramFile(), arguments, std::move(engineFactory));
}

void TouchFile(const QString& root, const QString& relativePath) {
    const QString path = root + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

QStringList Lines(const ListBox* list) {
    QStringList lines;
    for (int i = 0; i < list->ListCount(); ++i) {
        lines << list->List(i);
    }
    return lines;
}
