// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "instancelock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

InstanceLock::InstanceLock(const QString &path)
    : m_path(path.isEmpty() ? defaultPath() : path)
{
}

InstanceLock::~InstanceLock()
{
    release();
}

QString InstanceLock::defaultPath()
{
    return QDir::homePath() + QStringLiteral("/.kzemvik.lock");
}

QString InstanceLock::path() const
{
    return m_path;
}

bool InstanceLock::isHeld() const
{
    return m_fd >= 0;
}

bool InstanceLock::acquire()
{
    if (m_fd >= 0) {
        return true;
    }
    const QByteArray file = QFile::encodeName(m_path);
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0640);
    if (fd < 0) {
        std::fprintf(stderr, "Failed to open KT lock file %s : %s\n", file.constData(), std::strerror(errno));
        return false;
    }
    if (::lockf(fd, F_TLOCK, 0) < 0) {
        std::fprintf(stderr, "Failed to get lock on %s : %s\n", file.constData(), std::strerror(errno));
        ::close(fd);
        return false;
    }
    // Replace whatever an earlier, ended instance left behind.
    if (::ftruncate(fd, 0) == 0) {
        const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
        if (::write(fd, pid.constData(), static_cast<size_t>(pid.size())) != pid.size()) {
            std::fprintf(stderr, "Failed to write the process id to %s : %s\n", file.constData(), std::strerror(errno));
        }
    }
    m_fd = fd;
    return true;
}

void InstanceLock::release()
{
    if (m_fd >= 0) {
        // Closing the descriptor drops the lockf lock.
        ::close(m_fd);
        m_fd = -1;
    }
}
