// How reliably buttons are learned by timing and then recognised when their
// frames come through the carrier line: for each protocol, 100 remotes (a
// jittered signal generator each, ±10 % of the protocol's unit on every
// interval); two buttons of each are learned as the Learn window does (two held
// presses, then short ones) and each is pressed three times. The line's own
// timing (the portable edge timer) shapes every frame, and the host's matcher
// recognises them. Counters: remotes whose two buttons were learned, and those
// whose six presses were all recognised as themselves and nothing else.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "plugins/carrio/edge_script.h"
#include "plugins/carrio/edge_timer.h"
#include "support/edge_replay.h"
#include "tests/core/learn_harness.h"
#include "vexa/device/signal_generator.h"
#include "vexa/device/timing_matcher.h"

namespace {

using namespace vexa;

constexpr int kRemotes = 100;
constexpr uint64_t kRestUs = 600000;  // before each press

// The line between the remote and the host: one timer for the whole session.
class CLine {
 public:
  std::vector<TimedSample> carry(const std::vector<TimedSample>& press) {
    std::vector<uint32_t> samples;
    for (const auto& s : press) samples.push_back(s.sample);
    std::vector<TimedSample> out;
    for (const auto& r : test::replayEdgeScript(carrio::edgeScript(samples, kRestUs), m_timer, m_level, m_nowUs))
      out.push_back({r.sample, static_cast<uint64_t>(r.atUs)});
    return out;
  }
  uint64_t nowUs() const { return static_cast<uint64_t>(m_nowUs); }

 private:
  carrio::CEdgeTimer m_timer{true, 1000000, {true, 0, 0}};
  bool m_level = true;
  int64_t m_nowUs = 0;
};

bool learn(CLine& line, CSignalGenerator& gen, const IrButton& button, LearnedTiming& out) {
  RecordingView view;
  CTimingLearner learner(view, 25, 5);
  // Held long enough for 200 samples, the first capture's limit, in frames of few edges too.
  const int hold = button.protocol == IrProtocol::Nec ? 35 : 20;
  for (int press = 0; press < 10 && !learner.complete(); ++press)
    feed(view, learner, line.carry(gen.press(button, press < 2 ? hold : 2, 0)));
  runTimers(view, learner, line.nowUs() + 1000000);
  out = learner.result();
  return learner.complete();
}

void BM_CarrioLearnAndRecognise(benchmark::State& state, IrProtocol protocol) {
  int learned = 0, recognised = 0;
  for (auto _ : state) {
    learned = recognised = 0;
    for (int remote = 0; remote < kRemotes; ++remote) {
      CSignalGenerator gen(1000 + static_cast<uint32_t>(remote), 10);
      CLine line;
      const IrButton buttons[] = {{protocol, static_cast<uint32_t>(remote % 31), 0x0C},
                                  {protocol, static_cast<uint32_t>(remote % 31), 0x0D + static_cast<uint32_t>(remote % 40)}};
      std::vector<TimingEntry> entries(2);
      bool ok = true;
      for (int b = 0; b < 2; ++b) {
        entries[b] = {"Remote", "B" + std::to_string(b), 25, {}};
        ok = learn(line, gen, buttons[b], entries[b].code) && ok;
      }
      if (!ok) continue;
      ++learned;
      CTimingMatcher matcher;
      matcher.setEntries(entries);
      bool all = true;
      for (int press = 0; press < 6; ++press) {
        const size_t which = static_cast<size_t>(press % 2);
        int self = 0, other = 0;
        for (const auto& s : line.carry(gen.press(buttons[which], 1, 0))) {
          const auto r = matcher.onSample(s.sample, s.endUs * 10);
          if (r.outcome == CTimingMatcher::Outcome::Send || r.outcome == CTimingMatcher::Outcome::SendAndRepeat)
            ++(r.entry == &matcher.entries()[which] ? self : other);
        }
        all = all && self == 1 && other == 0;
      }
      recognised += all;
    }
  }
  state.counters["learned_of_100"] = learned;
  state.counters["recognised_of_100"] = recognised;
}

BENCHMARK_CAPTURE(BM_CarrioLearnAndRecognise, nec, IrProtocol::Nec)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CarrioLearnAndRecognise, rc5, IrProtocol::Rc5)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CarrioLearnAndRecognise, rc6, IrProtocol::Rc6)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CarrioLearnAndRecognise, sirc, IrProtocol::Sirc)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
