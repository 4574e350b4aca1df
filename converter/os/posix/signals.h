// The signals that end a run from outside, held back while the converter's files are in a state
// that such an end must not leave behind.
#pragma once

#include <signal.h>

namespace tamarack {

// Ctrl+C, kill, a closed terminal, Ctrl+\.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Holds back the ending signals for as long as it lives.
class BlockSignals {
 public:
  BlockSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kEndingSignals) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  ~BlockSignals() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  BlockSignals(const BlockSignals&) = delete;
  BlockSignals& operator=(const BlockSignals&) = delete;

 private:
  sigset_t saved_;
};

}  // namespace tamarack
