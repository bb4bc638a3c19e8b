#pragma once
// A connection to the PulseAudio server (PipeWire's pulse server as well) with
// a mainloop thread of its own, for listing the server's sources and for one
// capture stream. Nothing here waits on the server without a bound: a stopped
// (hung) server makes a wait give up after kAnswerWait, and closing never waits
// for the server at all (every socket libpulse holds is non-blocking).

#include <pulse/pulseaudio.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace lumora {

class PulseLoop {
 public:
  static constexpr std::chrono::seconds kAnswerWait{2};

  // Connects without ever starting a server. nullptr, and the reason in
  // `error`, when none answers within kAnswerWait; `hung` then tells a server
  // that took the connection but never answered (a stopped one) from none.
  static std::unique_ptr<PulseLoop> Connect(std::string& error, bool& hung);
  // Disconnects and ends the thread. Streams of the context must be gone.
  ~PulseLoop();
  PulseLoop(const PulseLoop&) = delete;
  PulseLoop& operator=(const PulseLoop&) = delete;

  pa_context* Context() const { return context_; }
  // The text of the context's last error.
  std::string ErrorText() const;

  // Keeps the mainloop thread out for the scope: callbacks run on that thread
  // with the lock held, and libpulse calls need it.
  class Locked {
   public:
    explicit Locked(PulseLoop& loop) : loop_(loop.loop_) { pa_threaded_mainloop_lock(loop_); }
    ~Locked() { pa_threaded_mainloop_unlock(loop_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

   private:
    pa_threaded_mainloop* loop_;
  };

  // With the lock held: waits until `done` holds, at most kAnswerWait. False
  // on time-out. A callback that may make `done` true calls Signal.
  bool Wait(const std::function<bool()>& done);
  void Signal() { pa_threaded_mainloop_signal(loop_, 0); }

 private:
  PulseLoop();
  static void OnContextState(pa_context* context, void* self);
  static void OnTimeOut(pa_mainloop_api* api, pa_time_event* event, const struct timeval* when, void* self);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  bool timedOut_ = false;
};

}  // namespace lumora
