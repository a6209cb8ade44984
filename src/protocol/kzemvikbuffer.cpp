// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvikbuffer.h"
#include "protocol_debug.h"

#include <cstring>

void KZemvikBuffer::add(const char *data, int count)
{
    if (count <= 0) {
        return;
    }
    // Compact once the consumed prefix dominates, so appends stay amortised O(1).
    if (m_start > 0 && m_start >= m_data.size() / 2) {
        m_data.remove(0, m_start);
        m_start = 0;
    }
    m_data.append(data, count);
}

void KZemvikBuffer::add(const QByteArray &bytes)
{
    add(bytes.constData(), bytes.size());
}

int KZemvikBuffer::length() const
{
    return m_data.size() - m_start;
}

int KZemvikBuffer::findNewline() const
{
    const int len = length();
    const char *base = m_data.constData() + m_start;
    int pos = m_scanFrom;
    while (pos < len - 1) {
        const void *cr = std::memchr(base + pos, '\r', size_t(len - 1 - pos));
        if (!cr) {
            break;
        }
        pos = int(static_cast<const char *>(cr) - base);
        if (base[pos + 1] == '\n') {
            m_scanFrom = pos;
            return pos;
        }
        ++pos;
    }
    m_scanFrom = qMax(0, len - 1);
    return -1;
}

int KZemvikBuffer::find(const QByteArray &text) const
{
    const int pos = m_data.indexOf(text, m_start);
    return pos < 0 ? -1 : pos - m_start;
}

QByteArray KZemvikBuffer::left(int n) const
{
    if (n < 0 || n > length()) {
        qCWarning(KZEMVIK_PROTOCOL) << "Buffer size" << length() << "< asked size" << n << "!";
        return QByteArray();
    }
    return QByteArray(m_data.constData() + m_start, n);
}

QByteArray KZemvikBuffer::mid(int pos, int n) const
{
    if (pos < 0 || n < 0 || pos > length() || n > length() - pos) {
        return QByteArray();
    }
    return QByteArray(m_data.constData() + m_start + pos, n);
}

bool KZemvikBuffer::remove(int n)
{
    if (n < 0 || n > length()) {
        qCWarning(KZEMVIK_PROTOCOL) << "KZemvikBuffer - WARNING - size" << length() << "< asked size" << n << "!";
        return false;
    }
    m_start += n;
    m_scanFrom = qMax(0, m_scanFrom - n);
    if (m_start == m_data.size()) {
        m_data.clear();
        m_start = 0;
        m_scanFrom = 0;
    }
    return true;
}

void KZemvikBuffer::clear()
{
    m_data.clear();
    m_start = 0;
    m_scanFrom = 0;
}

const char *KZemvikBuffer::constData() const
{
    return m_data.constData() + m_start;
}
