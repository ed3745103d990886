// Matching cost as the number of learned codes grows.
#include <benchmark/benchmark.h>

#include "vexa/device/signal_generator.h"
#include "vexa/device/timing_matcher.h"

namespace {

// Learned-looking entries straight from the generator: frame, gap and repeat code.
std::vector<vexa::TimingEntry> necEntries(int count) {
  vexa::CSignalGenerator gen(42, 0);
  std::vector<vexa::TimingEntry> entries;
  for (int i = 0; i < count; ++i) {
    const auto press = gen.press({vexa::IrProtocol::Nec, static_cast<uint32_t>(i / 256), static_cast<uint32_t>(i % 256)}, 2);
    vexa::TimingEntry e{"Remote " + std::to_string(i / 256), "Button " + std::to_string(i), 25, {}};
    for (size_t k = 0; k < 67; ++k) e.code.raw.push_back(press[k].sample);
    e.code.gap = press[67].sample;
    e.code.repeatGap = press[67].sample;
    for (size_t k = 68; k < press.size(); ++k) e.code.repeat.push_back(press[k].sample);
    e.code.flags = vexa::TimingFlag::kTimingCode | vexa::TimingFlag::kGapKnown | vexa::TimingFlag::kRepeatCode;
    entries.push_back(std::move(e));
  }
  return entries;
}

void BM_TimingSample(benchmark::State& state) {
  vexa::CTimingMatcher matcher;
  matcher.setEntries(necEntries(static_cast<int>(state.range(0))));
  vexa::CSignalGenerator gen(7, 10);
  std::vector<vexa::TimedSample> stream;
  for (int i = 0; i < 64; ++i) {
    auto p = gen.press({vexa::IrProtocol::Nec, static_cast<uint32_t>(i % 3), static_cast<uint32_t>(i * 37 % 256)}, 3);
    stream.insert(stream.end(), p.begin(), p.end());
  }
  size_t i = 0, sends = 0;
  uint64_t base = 0;
  for (auto _ : state) {
    const auto& s = stream[i];
    const auto r = matcher.onSample(s.sample, (base + s.endUs) * 10);
    sends += r.outcome == vexa::CTimingMatcher::Outcome::Send;
    if (++i == stream.size()) {
      i = 0;
      base += gen.nowUs();
    }
  }
  state.counters["sends"] = static_cast<double>(sends);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_TimingSample)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
