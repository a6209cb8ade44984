// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes, cut into arbitrary reads, through the receive buffer and the line framer.
#include "commandline.h"
#include "kzemvikbuffer.h"
#include "lineframer.h"

#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("kzemvik.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    // The first two bytes choose the read sizes, the rest is the stream.
    const int step = 1 + data[0] % 64;
    const int jitter = data[1];
    const char *stream = reinterpret_cast<const char *>(data + 2);
    const int length = int(size - 2);

    KZemvikBuffer buffer;
    LineFramer framer({QStringLiteral("CONF"), QStringLiteral("CTOC")});
    LineFramer::Frame frame;
    int pos = 0;
    int read = 0;
    qint64 consumed = 0;
    while (pos < length) {
        const int n = qMin(length - pos, step + (jitter * ++read) % 97);
        buffer.add(stream + pos, n);
        pos += n;
        for (;;) {
            const int before = buffer.length();
            const LineFramer::Result result = framer.next(buffer, frame);
            if (result == LineFramer::Result::Error) {
                return 0; // the connection would close here
            }
            if (result == LineFramer::Result::NeedMore) {
                break;
            }
            // A frame is always taken off the buffer, line, CR LF and payload together.
            const int taken = before - buffer.length();
            if (taken < 2 || frame.line.contains(QLatin1String("\r\n")) || frame.line.size() > CommandLine::MaxLineLength) {
                std::abort();
            }
            if (frame.hasPayload && frame.payload.size() > CommandLine::MaxPayloadLength) {
                std::abort();
            }
            consumed += taken;
        }
    }
    if (consumed + buffer.length() != length) {
        std::abort();
    }
    return 0;
}
