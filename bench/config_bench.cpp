// Loading and saving configurations that grow with the user's data: N
// commands of 3 layouts with 5 actions each, spread over remotes and
// application folders, in both file forms, the way the program reads and
// writes its configuration file.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "vexa/base/windows_1252.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/presets/config_files.h"

namespace {

std::unique_ptr<vexa::CCmdTree> makeTree(int commands) {
  auto tree = std::make_unique<vexa::CCmdTree>();
  constexpr int kPerRemote = 500;
  for (int r = 0; r * kPerRemote < commands; ++r) {
    vexa::CCmdItem& remote = tree->insertRemote("Remote " + std::to_string(r));
    vexa::CCmdItem& folder = tree->insertFolder(remote, vexa::APPFOLDER::createNew("Player " + std::to_string(r)));
    folder.folder()->setFileName("C:\\Program Files\\Player\\player.exe");
    for (int c = r * kPerRemote; c < commands && c < (r + 1) * kPerRemote; ++c) {
      auto command = std::make_unique<vexa::CCmdArray>("Button " + std::to_string(c));
      command->setIndex(c);
      command->addLayout();
      command->addLayout();
      for (vexa::CCmdArray* l = command.get(); l; l = l->next())
        for (int a = 0; a < 5; ++a) {
          auto action = std::make_unique<vexa::CMD>();
          action->name = "Action " + std::to_string(a);
          action->typeName = "Keystroke to application";
          action->fileName = "C:\\Program Files\\Player\\player.exe";
          action->param = "CTRL+P";
          action->delay = a * 100;
          l->appendAction(std::move(action));
        }
      tree->insertCommand(c % 3 == 0 ? folder : remote, std::move(command));
    }
  }
  return tree;
}

std::string savedBytes(int commands, vexa::ProfileEncoding encoding) {
  auto tree = makeTree(commands);
  return vexa::encodeCommandTree(*tree, encoding, vexa::CWindows1252());
}

void reportPeak(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Save(benchmark::State& state, vexa::ProfileEncoding encoding) {
  auto tree = makeTree(static_cast<int>(state.range(0)));
  size_t bytes = 0;
  for (auto _ : state) {
    std::string out = vexa::encodeCommandTree(*tree, encoding, vexa::CWindows1252());
    bytes = out.size();
    benchmark::DoNotOptimize(out);
  }
  state.counters["file_MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
  reportPeak(state);
}

void Load(benchmark::State& state, vexa::ProfileEncoding encoding) {
  const std::string bytes = savedBytes(static_cast<int>(state.range(0)), encoding);
  for (auto _ : state) {
    vexa::CCmdTree tree;
    auto result = vexa::decodeCommandTree(tree, bytes, vexa::CWindows1252());
    if (!result.ok) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(tree);
  }
  reportPeak(state);
}

// The program's own operations on "current.vcp": the binary form written to
// and read from a file, as start-up and saving do.
class CBenchFile {
 public:
  CBenchFile()
      : path_(std::filesystem::temp_directory_path() / ("vexa-config-bench-" + std::to_string(getpid()) + ".vcp")) {}
  ~CBenchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void BM_SaveFile(benchmark::State& state) {
  auto tree = makeTree(static_cast<int>(state.range(0)));
  CBenchFile file;
  for (auto _ : state) vexa::saveCommandPart(file.path(), *tree, vexa::CWindows1252());
  state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(file.path())) / (1024.0 * 1024.0);
  reportPeak(state);
}

void BM_LoadFile(benchmark::State& state) {
  CBenchFile file;
  vexa::saveCommandPart(file.path(), *makeTree(static_cast<int>(state.range(0))), vexa::CWindows1252());
  for (auto _ : state) {
    vexa::CCmdTree tree;
    if (!vexa::loadCommandPart(file.path(), tree, vexa::CWindows1252()).ok) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(tree);
  }
  reportPeak(state);
}

// Start-up proper: a fresh heap and nothing to tear down. BM_LoadFile also
// pays for freeing the tree of its previous round, part of it only at the
// next large allocation, which falls inside the load; here the tree is freed
// and the memory handed back untimed, so the load takes fresh pages as a
// starting program does.
// The load's own peak memory, above what the process held before it: the
// kernel's high-water mark of resident memory, reset before each load.
class CLoadPeak {
 public:
  void start() {
    std::ofstream("/proc/self/clear_refs") << "5";
    before_ = statusKiB("VmRSS:");
  }
  void stop() { highest_ = std::max(highest_, statusKiB("VmHWM:") - before_); }
  double mebibytes() const { return static_cast<double>(highest_) / 1024.0; }

 private:
  static long statusKiB(std::string_view field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
      if (line.starts_with(field)) return std::stol(line.substr(field.size()));
    return 0;
  }
  long before_ = 0;
  long highest_ = 0;
};

void BM_LoadFileAtStartUp(benchmark::State& state) {
  CBenchFile file;
  vexa::saveCommandPart(file.path(), *makeTree(static_cast<int>(state.range(0))), vexa::CWindows1252());
  malloc_trim(0);
  CLoadPeak peak;
  for (auto _ : state) {
    state.PauseTiming();
    peak.start();
    state.ResumeTiming();
    auto tree = std::make_unique<vexa::CCmdTree>();
    if (!vexa::loadCommandPart(file.path(), *tree, vexa::CWindows1252()).ok) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(*tree);
    state.PauseTiming();
    peak.stop();
    tree.reset();
    malloc_trim(0);
    state.ResumeTiming();
  }
  const double fileMiB = static_cast<double>(std::filesystem::file_size(file.path())) / (1024.0 * 1024.0);
  state.counters["file_MiB"] = fileMiB;
  state.counters["load_peak_MiB"] = peak.mebibytes();
  state.counters["peak_per_file"] = peak.mebibytes() / fileMiB;
  reportPeak(state);
}

void BM_SaveBinary(benchmark::State& s) { Save(s, vexa::ProfileEncoding::Binary); }
void BM_SaveText(benchmark::State& s) { Save(s, vexa::ProfileEncoding::Text); }
void BM_LoadBinary(benchmark::State& s) { Load(s, vexa::ProfileEncoding::Binary); }
void BM_LoadText(benchmark::State& s) { Load(s, vexa::ProfileEncoding::Text); }

}  // namespace

BENCHMARK(BM_SaveBinary)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveText)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinary)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadText)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFileAtStartUp)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
