// Matching a received raw code against many learned codes: the hook for
// later work on indexing the store. A miss walks every code; a held button hits the cache.
#include <benchmark/benchmark.h>

#include "vexa/device/code_matcher.h"

namespace {

vexa::device::CCodeStore makeStore(int remotes, int commandsPerRemote) {
  vexa::device::CCodeStore store;
  for (int r = 0; r < remotes; ++r)
    for (int c = 0; c < commandsPerRemote; ++c) {
      vexa::device::DeviceCode code;
      code.flags = vexa::device::CodeFlag::kRaw;
      code.signature = {uint8_t(r), uint8_t(r >> 8), uint8_t(c), uint8_t(c >> 8), 0x55, 0xAA};
      store.setCode("Remote " + std::to_string(r), "Button " + std::to_string(c), std::move(code));
    }
  return store;
}

void BM_RawMatchLastCode(benchmark::State& state) {
  const int remotes = static_cast<int>(state.range(0));
  auto store = makeStore(remotes, 50);
  vexa::device::CCodeMatcher matcher(store);
  const std::vector<uint8_t> last{uint8_t(remotes - 1), uint8_t((remotes - 1) >> 8), 49, 0, 0x55, 0xAA};
  for (auto _ : state) {
    matcher.clearCache();
    benchmark::DoNotOptimize(matcher.matchRaw(last));
  }
  state.SetItemsProcessed(state.iterations() * remotes * 50);
}
BENCHMARK(BM_RawMatchLastCode)->Arg(1)->Arg(20)->Arg(200);

// Every code differs from the one before, as presses of different buttons
// do: the last-match cache never helps, and one in four codes is unknown.
void BM_RawMatchDifferentCodes(benchmark::State& state) {
  const int remotes = static_cast<int>(state.range(0));
  auto store = makeStore(remotes, 50);
  vexa::device::CCodeMatcher matcher(store);
  std::vector<std::vector<uint8_t>> codes;
  for (int i = 0; i < 4096; ++i) {
    const int r = (i * 7919) % remotes, c = (i * 31) % 50;
    const uint8_t tail = i % 4 == 3 ? 0x56 : 0x55;  // unknown
    codes.push_back({uint8_t(r), uint8_t(r >> 8), uint8_t(c), uint8_t(c >> 8), tail, 0xAA});
  }
  benchmark::DoNotOptimize(matcher.matchRaw(codes[0]));  // builds the index
  size_t i = 1, hits = 0;
  for (auto _ : state) {
    hits += matcher.matchRaw(codes[i]).has_value();
    if (++i == codes.size()) i = 0;
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.counters["walks"] = static_cast<double>(matcher.walks());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_RawMatchDifferentCodes)->Arg(1)->Arg(20)->Arg(200);

void BM_RawMatchHeldButton(benchmark::State& state) {
  auto store = makeStore(200, 50);
  vexa::device::CCodeMatcher matcher(store);
  const std::vector<uint8_t> code{7, 0, 3, 0, 0x55, 0xAA};
  for (auto _ : state) benchmark::DoNotOptimize(matcher.matchRaw(code));
}
BENCHMARK(BM_RawMatchHeldButton);

}  // namespace
