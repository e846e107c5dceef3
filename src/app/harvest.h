#pragma once
// One whole run: the walk over the result pages of the keyword.

#include <functional>

#include "foundation/text.h"

namespace kestrova {

// The search engine's web host that result pages are fetched from.
inline const Text searchEngineHost = "www.baidu.com";

// Why the walk over the result pages ended.
enum class WalkEnd {
    StoppedByUser,      // `开始` was found enabled at a page check
    LastPage,           // a result page without the next-page marker
    NotAResultPage,     // an answer that holds no result at all, e.g. a verification page
    PageRequestFailed,  // nothing came back for the page
};

// What a front end beyond the window may want to learn of a run; the main
// window sets none of these.
struct HarvestHooks {
    Text searchHost = searchEngineHost;
    // Called once the walk has ended, before the results are de-duplicated.
    std::function<void(WalkEnd)> walkEnded{};
    // Called when the results file could not be written.
    std::function<void(const Text& path)> fileWriteFailed{};
};

void harvestWorker(const HarvestHooks& hooks = {});

}  // namespace kestrova
