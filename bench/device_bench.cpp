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

void BM_RawMatchHeldButton(benchmark::State& state) {
  auto store = makeStore(200, 50);
  vexa::device::CCodeMatcher matcher(store);
  const std::vector<uint8_t> code{7, 0, 3, 0, 0x55, 0xAA};
  for (auto _ : state) benchmark::DoNotOptimize(matcher.matchRaw(code));
}
BENCHMARK(BM_RawMatchHeldButton);

}  // namespace
