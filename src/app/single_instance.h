#pragma once

#include <QLockFile>
#include <QString>

// The lock that lets one instance of a program file run per user. A lock
// left behind by a crashed instance is taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& programFile);
    // True when no other instance holds the lock; this one holds it from now on.
    bool Acquire();

private:
    QLockFile lock_;
};

// Path of the lock file for a program file, in the user's runtime folder.
QString InstanceLockPath(const QString& programFile);
