#include "platform/PulseSources.h"

#include "platform/PulseLoop.h"
#include "support/Log.h"

namespace lumora {
namespace {

struct Listing {
  PulseLoop* loop = nullptr;
  std::vector<PulseSource>* sources = nullptr;
  bool done = false;
  bool failed = false;
};

void OnSource(pa_context*, const pa_source_info* info, int eol, void* data) {
  auto* listing = static_cast<Listing*>(data);
  if (eol != 0) {
    listing->failed = eol < 0;
    listing->done = true;
    listing->loop->Signal();
    return;
  }
  listing->sources->push_back({info->name, info->description != nullptr ? info->description : info->name});
}

}  // namespace

PulseServer ListPulseSources(std::vector<PulseSource>& sources) {
  sources.clear();
  std::string error;
  bool hung = false;
  const std::unique_ptr<PulseLoop> loop = PulseLoop::Connect(error, hung);
  if (!loop) {
    if (!hung) return PulseServer::kAbsent;
    Log("PulseAudio: " + error, 1);
    return PulseServer::kSilent;
  }
  Listing listing{loop.get(), &sources};
  const PulseLoop::Locked locked(*loop);
  pa_operation* const operation = pa_context_get_source_info_list(loop->Context(), &OnSource, &listing);
  const bool answered = operation != nullptr && loop->Wait([&listing] { return listing.done; });
  if (operation != nullptr) {
    if (!listing.done) pa_operation_cancel(operation);  // no call back into `listing` after this
    pa_operation_unref(operation);
  }
  if (answered && !listing.failed) return PulseServer::kListed;
  Log("PulseAudio: the sources could not be listed: " +
          (answered ? loop->ErrorText() : "no answer within 2 s"),
      1);
  sources.clear();
  return PulseServer::kSilent;
}

}  // namespace lumora
