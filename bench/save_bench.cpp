// Saving and loading a full colony: every one of the 1001 slots holds a building of the
// shipped catalog, ten shuttles fly and the history holds the 1200 days of a whole hard
// game. Serialising alone, and the whole save with its file safely on disk, and a load.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/construction.h"
#include "core/newgame.h"
#include "shell/save.h"
#include "shell/session.h"
#include "shell/rewind.h"
#include "shell/undo.h"

namespace {

struct FullGame {
  FullGame() {
    s.StartUp(QUENMAR_DATA_DIR, 1);
    core::Game& g = s.game;
    core::StartNewGame(g, core::kLevelHard);
    for (int k = 0; k < core::kPlacedSize; ++k) {
      core::building& b = g.placed[static_cast<size_t>(k)];
      b = g.catalog[static_cast<size_t>(k % g.catalog_count)];
      b.exists = true;
      b.up = 1 + k % 3;
      b.x = k / 30;
      b.y = k % 30;
    }
    g.PlacedChanged();
    for (auto& sh : s.traffic.shuttles()) sh.active = true;
    for (int d = 0; d < 1200; ++d) {
      g.money += 37 * d;
      g.history.Record(g);
    }
    path = (std::filesystem::temp_directory_path() / ("quenmar-bench-" + std::to_string(getpid()) + ".qsave")).string();
  }
  ~FullGame() { std::filesystem::remove(path); }
  shell::Session s;
  std::string path;
};

void BM_SaveText(benchmark::State& state) {
  FullGame f;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = shell::SaveJson(f.s).dump(1);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_SaveFile(benchmark::State& state) {
  FullGame f;
  for (auto _ : state) shell::WriteSave(f.s, f.path);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(f.path));
}

void BM_LoadFile(benchmark::State& state) {
  FullGame f;
  shell::WriteSave(f.s, f.path);
  for (auto _ : state) shell::ReadSave(f.s, f.path);
  state.counters["buildings"] = f.s.game.placed.size();
  state.counters["days"] = static_cast<double>(f.s.game.history.days().size());
}

// What an action costs undo: the state kept before it (its size in memory as `bytes`),
// and an action with its undo, which restores that state.
void BM_UndoSnapshot(benchmark::State& state) {
  FullGame f;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const shell::Snapshot snapshot = shell::TakeSnapshot(f.s);
    bytes = snapshot.bytes.size();
    benchmark::DoNotOptimize(snapshot.bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ActionAndUndo(benchmark::State& state) {
  FullGame f;
  for (auto _ : state) {
    core::ToggleActive(f.s.game, 5);
    f.s.undo.Undo();
  }
}

// The frame in which a day begins: its state is copied to be kept (and written out beside
// the frames; the day before is long written out when the next begins).
void BM_DayKept(benchmark::State& state) {
  FullGame f;
  core::Game& g = f.s.game;
  for (auto _ : state) {
    state.PauseTiming();
    f.s.rewind.kept();
    g.history.Record(g);
    state.ResumeTiming();
    f.s.rewind.CheckDay();
  }
}

// What a whole hard game keeps for rewinding: its days' states in memory (`kept_bytes`,
// `kept_days`) and the save file with them (`file_bytes`).
void BM_HardGameKept(benchmark::State& state) {
  for (auto _ : state) {
    FullGame f;
    core::Game& g = f.s.game;
    g.history.Clear();
    for (int d = 0; d < 1200; ++d) {
      g.day = g.day % 30 + 1;
      g.money += 37 * d;
      g.history.Record(g);
      f.s.rewind.CheckDay();
    }
    std::size_t bytes = 0;
    for (const auto& k : f.s.rewind.kept()) bytes += k.packed.size();
    shell::WriteSave(f.s, f.path);
    state.counters["kept_days"] = static_cast<double>(f.s.rewind.kept().size());
    state.counters["kept_bytes"] = static_cast<double>(bytes);
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(f.path));
  }
}

BENCHMARK(BM_DayKept)->Unit(benchmark::kMillisecond)->Iterations(40)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_HardGameKept)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SaveText)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ActionAndUndo)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
