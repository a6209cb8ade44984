// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Cutting session lines out of received bytes: the receive buffer and line framer beside a
// plain memchr scan doing the same work (cut at CR LF, decode, split on blanks, skip payloads).
#include "kzemvikbuffer.h"
#include "lineframer.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstring>

namespace
{
constexpr int ReadSize = 16 * 1024;

//! About 8 MB of what a busy session receives: buddy lines, presence, pings, invitations, memos.
const QByteArray &sessionBytes()
{
    static const QByteArray bytes = [] {
        QByteArray out;
        int i = 0;
        while (out.size() < 8 * 1024 * 1024) {
            const QByteArray n = QByteArray::number(i);
            out += "LIST 3 " + n + " 5000 1011 user" + n + "@zemvik.example 10" + n
                + " %EA%B9%80%20" + n + " %00 a b 20250102 kv" + n + " 5 x mv" + n + " 20240101 Y z\r\n";
            out += "NTFY 0 user" + n + "@zemvik.example O 0\r\n";
            out += "PING 0\r\n";
            const QByteArray invite = "INVT user" + n + "@zemvik.example 127.0.0.1 5010 key" + n + "\r\n";
            out += "CTOC 0 user" + n + "@zemvik.example " + QByteArray::number(invite.size()) + "\r\n" + invite;
            if (i % 10 == 0) {
                const QByteArray memo = QString::fromUtf8("IMSG\r\ntitle:안녕\r\nfrom:user@zemvik.example\r\nlength:12\r\n\r\n안녕하세요 반갑습니다\r\n").toUtf8();
                out += "CTOC 0 user" + n + "@zemvik.example " + QByteArray::number(memo.size()) + "\r\n" + memo;
            }
            ++i;
        }
        return out;
    }();
    return bytes;
}

const QSet<QString> &payloadWords()
{
    static const QSet<QString> words{QStringLiteral("CONF"), QStringLiteral("CTOC")};
    return words;
}

//! Frames and fields through the buffer and framer, fed in socket-sized reads.
qint64 framerPass(const QByteArray &bytes)
{
    KZemvikBuffer buffer;
    LineFramer framer(payloadWords());
    LineFramer::Frame frame;
    qint64 fields = 0;
    for (int pos = 0; pos < bytes.size(); pos += ReadSize) {
        buffer.add(bytes.constData() + pos, qMin(ReadSize, bytes.size() - pos));
        while (framer.next(buffer, frame) == LineFramer::Result::Frame) {
            fields += frame.fields.size() + frame.payload.size();
        }
    }
    return fields;
}

//! The same frames from one contiguous array with memchr, no buffer object at all.
qint64 plainPass(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const int size = bytes.size();
    qint64 fields = 0;
    int pos = 0;
    while (pos < size) {
        const char *cr = static_cast<const char *>(std::memchr(data + pos, '\r', size_t(size - pos)));
        if (!cr) {
            break;
        }
        const int p = int(cr - data);
        if (p + 1 >= size || data[p + 1] != '\n') {
            pos = p + 1;
            continue;
        }
        const QStringList split = QString::fromUtf8(data + pos, p - pos).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        pos = p + 2;
        if (!split.isEmpty() && payloadWords().contains(split.first())) {
            const int n = split.last().toInt();
            const QByteArray payload(data + pos, n);
            fields += payload.size();
            pos += n;
        }
        fields += split.size();
    }
    return fields;
}

//! Only the CR LF scan, as the floor of what any framing costs.
qint64 scanPass(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const char *end = data + bytes.size();
    qint64 lines = 0;
    for (const char *p = data; (p = static_cast<const char *>(std::memchr(p, '\r', size_t(end - p)))) != nullptr; ++p) {
        lines += (p + 1 < end && p[1] == '\n');
    }
    return lines;
}

void BM_Framer(benchmark::State &state)
{
    const QByteArray &bytes = sessionBytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(framerPass(bytes));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void BM_Plain(benchmark::State &state)
{
    const QByteArray &bytes = sessionBytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(plainPass(bytes));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void BM_ScanOnly(benchmark::State &state)
{
    const QByteArray &bytes = sessionBytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scanPass(bytes));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

//! Both passes in each iteration; the counter is the framer's speed as a share of the plain one.
void BM_FramerVsPlain(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const QByteArray &bytes = sessionBytes();
    Clock::duration framer{};
    Clock::duration plain{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const qint64 a = framerPass(bytes);
        const auto t1 = Clock::now();
        const qint64 b = plainPass(bytes);
        const auto t2 = Clock::now();
        if (a != b) {
            state.SkipWithError("framer and plain scan disagree");
            return;
        }
        framer += t1 - t0;
        plain += t2 - t1;
    }
    const double ratio = double(plain.count()) / double(framer.count());
    state.counters["ratio"] = ratio;
    std::printf("linebench: framer speed is %.2f of the plain scan (target >= 0.5)\n", ratio);
}
}

BENCHMARK(BM_Framer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramerVsPlain)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char **argv)
{
    QLoggingCategory::setFilterRules(QStringLiteral("kzemvik.*=false"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
