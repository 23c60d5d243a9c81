#pragma once

// The builder reports every counter change; the window shows only the latest
// values, a few dozen times a second. Posting is a lock and a copy, so the
// build pays next to nothing for its progress display.

#include <array>
#include <mutex>
#include <optional>
#include <string>

#include "log/counters.h"
#include "log/sinks.h"

namespace tarvel::window {

class CounterMailbox final : public CounterSink {
  public:
    void CountersChanged(const Counters& counters) override;
    // The values of the last change not taken yet.
    std::optional<Counters> Take();

  private:
    std::mutex mutex_;
    Counters latest_;
    bool fresh_ = false;
};

// The captions of Panel_Depth, Panel_Polys, Panel_Splits, Panel_ListSize and
// Panel_Nodes, in that order.
std::array<std::string, 5> PanelTexts(const Counters& counters);

}  // namespace tarvel::window
