// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

//! The per-user single-instance lock: an advisory lockf lock on a file in the home directory,
//! held by an open descriptor for as long as this object lives.
class InstanceLock
{
public:
    //! Locks path; with an empty path the lock file in the user's home directory.
    explicit InstanceLock(const QString &path = QString());
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    //! Takes the lock without waiting and writes our process id into the file; failures are
    //! written to standard error and return false.
    bool acquire();
    //! Drops the lock and closes the file (the destructor does the same).
    void release();
    bool isHeld() const;
    QString path() const;

    static QString defaultPath();

private:
    QString m_path;
    int m_fd = -1;
};
