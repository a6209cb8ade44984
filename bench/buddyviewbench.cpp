// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
//
// A burst of presence lines against a big buddy list: 5,000 buddies in 50 groups, all shown.
// Measures the time until the view is current after the burst (the lines arrive in socket-sized
// chunks with the event loop running between them), the longest single stall of the event loop,
// and, for comparison, a full rebuild of the tree per change as the list did before.
#include "buddy.h"
#include "buddylist.h"
#include "group.h"
#include "grouplist.h"
#include "kzemvikmainview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTreeView>

#include <cstdio>
#include <map>
#include <memory>

namespace
{
constexpr int s_buddies = 5000;
constexpr int s_groups = 50;
//! Lines handled per event-loop turn: about what one socket read holds; the burst benchmark also
//! runs with the whole burst in one read, the worst case for the longest stall.
constexpr int s_chunk = 100;
//! Changes measured with a full rebuild each; the full burst that way would take minutes.
constexpr int s_rebuildSample = 200;

struct Fixture {
    BuddyList buddies;
    GroupList groups;
    std::unique_ptr<KZemvikMainview> view;
    QVector<QStringList> lines;

    Fixture()
    {
        for (int g = 0; g < s_groups; ++g) {
            groups.appendGroup(QString::number(g), g % 2 ? QStringLiteral("Group %1").arg(g) : QStringLiteral("그룹 %1").arg(g));
        }
        for (int i = 0; i < s_buddies; ++i) {
            auto *buddy = new Buddy();
            buddy->handle = QString::number(100000 + i);
            buddy->loginId = QStringLiteral("buddy%1@zemvik.example").arg(i);
            buddy->name = QStringLiteral("친구 %1").arg((i * 7919) % s_buddies);
            buddy->nick = QStringLiteral("대화명 %1").arg(i);
            buddy->onForwardList = true;
            buddy->onAllowList = true;
            buddy->kivraId = QStringLiteral("%00");
            buddies.append(buddy);
            groups.at(i % s_groups)->addBuddy(buddy->handle);
            // Each line changes its buddy: a third go offline, a third come online, a third
            // only change between online states.
            static const char *const next[] = {"O", "F", "B"};
            lines.append({QStringLiteral("INFY"), QStringLiteral("0"), buddy->loginId, QLatin1String(next[i % 3])});
        }
        view = std::make_unique<KZemvikMainview>();
        view->setLists(&buddies, &groups);
        view->resize(320, 720);
        view->show();
    }

    ~Fixture()
    {
        view.reset();
        buddies.deleteAll();
        groups.deleteAll();
    }

    //! Everybody back where the burst starts; the view rebuilt and drawn.
    void reset(int arrangement)
    {
        for (int i = 0; i < s_buddies; ++i) {
            buddies.at(i)->status = i % 3 == 0 ? QStringLiteral("F") : QStringLiteral("A");
        }
        switch (arrangement) {
        case 0:
            view->slotSortNormal();
            break;
        case 1:
            view->slotSortOnlyOnline();
            break;
        default:
            view->slotSortOnOffline();
            break;
        }
        settle();
    }

    static void settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
};

Fixture *s_fixture = nullptr;

struct Result {
    double burstMs = 0; //!< mean over the iterations
    int bursts = 0;
    double maxStallMs = 0;
    double rebuildPerChangeMs = 0;
};
std::map<std::pair<int, int>, Result> s_results; // (arrangement, lines per turn)

void BM_PresenceBurst(benchmark::State &state)
{
    const int arrangement = int(state.range(0));
    const int chunk = int(state.range(1));
    Fixture &f = *s_fixture;
    for (auto _ : state) {
        f.reset(arrangement);
        double maxStall = 0;
        QElapsedTimer total;
        total.start();
        for (int start = 0; start < s_buddies; start += chunk) {
            QElapsedTimer turn;
            turn.start();
            for (int i = start; i < start + chunk && i < s_buddies; ++i) {
                f.view->slotGotINFY(f.lines.at(i));
            }
            maxStall = qMax(maxStall, turn.nsecsElapsed() / 1e6);
            turn.restart();
            Fixture::settle(); // layout and repaint between socket reads
            maxStall = qMax(maxStall, turn.nsecsElapsed() / 1e6);
        }
        const double ms = total.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        Result &r = s_results[{arrangement, chunk}];
        r.burstMs = (r.burstMs * r.bursts + ms) / (r.bursts + 1);
        ++r.bursts;
        r.maxStallMs = qMax(r.maxStallMs, maxStall);
        state.counters["max_stall_ms"] = maxStall;
    }
}

void BM_RebuildPerChange(benchmark::State &state)
{
    const int arrangement = int(state.range(0));
    Fixture &f = *s_fixture;
    for (auto _ : state) {
        f.reset(arrangement);
        QElapsedTimer total;
        total.start();
        for (int start = 0; start < s_rebuildSample; start += s_chunk) {
            for (int i = start; i < start + s_chunk; ++i) {
                f.buddies.findByLoginId(f.lines.at(i).at(2))->status = f.lines.at(i).at(3);
                f.view->refreshList();
            }
            Fixture::settle();
        }
        const double perChange = total.nsecsElapsed() / 1e6 / s_rebuildSample;
        state.SetIterationTime(perChange * s_rebuildSample / 1000);
        s_results[{arrangement, s_chunk}].rebuildPerChangeMs = perChange;
        state.counters["ms_per_change"] = perChange;
    }
}

BENCHMARK(BM_PresenceBurst)->ArgsProduct({{0, 1, 2}, {s_chunk, s_buddies}})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RebuildPerChange)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Fixture fixture;
    s_fixture = &fixture;
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\n%d buddies in %d groups, a burst of %d presence lines\n", s_buddies, s_groups, s_buddies);
    std::printf("arrangement  lines/turn  burst until current (mean)  longest stall (max)  rebuild/change  rebuild burst (projected)  ratio\n");
    for (const auto &[key, r] : s_results) {
        if (r.burstMs <= 0) {
            continue;
        }
        const Result &rebuild = s_results[{key.first, s_chunk}];
        const double projected = rebuild.rebuildPerChangeMs * s_buddies;
        std::printf("%11d  %10d  %23.1f ms  %16.1f ms  %11.2f ms  %22.0f ms  %5.0fx\n", key.first, key.second, r.burstMs, r.maxStallMs,
                    rebuild.rebuildPerChangeMs, projected, projected / r.burstMs);
    }
    benchmark::Shutdown();
    return 0;
}
