#include "platform/PulseLoop.h"

namespace lumora {

PulseLoop::PulseLoop() : loop_(pa_threaded_mainloop_new()) {
  if (loop_ != nullptr) context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "lumora");
}

std::unique_ptr<PulseLoop> PulseLoop::Connect(std::string& error, bool& hung) {
  hung = false;
  std::unique_ptr<PulseLoop> loop(new PulseLoop);
  if (loop->context_ == nullptr || pa_threaded_mainloop_start(loop->loop_) < 0) {
    error = "cannot start a client";
    return nullptr;
  }
  const Locked locked(*loop);
  pa_context* const context = loop->context_;
  pa_context_set_state_callback(context, &PulseLoop::OnContextState, loop.get());
  if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    error = loop->ErrorText();
    return nullptr;
  }
  const bool answered = loop->Wait([context] {
    const pa_context_state_t state = pa_context_get_state(context);
    return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
  });
  if (pa_context_get_state(context) == PA_CONTEXT_READY) return loop;
  hung = !answered;
  error = answered ? loop->ErrorText() : "the sound server did not answer within 2 s";
  return nullptr;
}

PulseLoop::~PulseLoop() {
  if (loop_ == nullptr) return;
  if (context_ != nullptr) {
    const Locked locked(*this);
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
  }
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

std::string PulseLoop::ErrorText() const { return pa_strerror(pa_context_errno(context_)); }

bool PulseLoop::Wait(const std::function<bool()>& done) {
  timedOut_ = false;
  pa_time_event* const timer =
      pa_context_rttime_new(context_, pa_rtclock_now() + std::chrono::microseconds(kAnswerWait).count(),
                            &PulseLoop::OnTimeOut, this);
  while (!done() && !timedOut_) pa_threaded_mainloop_wait(loop_);
  if (timer != nullptr) pa_threaded_mainloop_get_api(loop_)->time_free(timer);
  return done();
}

void PulseLoop::OnContextState(pa_context*, void* self) { static_cast<PulseLoop*>(self)->Signal(); }

void PulseLoop::OnTimeOut(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
  auto* loop = static_cast<PulseLoop*>(self);
  loop->timedOut_ = true;
  loop->Signal();
}

}  // namespace lumora
