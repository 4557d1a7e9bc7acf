#pragma once

// One playback stream on the sound server (PulseAudio or PipeWire's Pulse
// service) through libpulse's threaded mainloop: the plumbing the sound
// effects module and the synthesizer share. Each owner names its stream,
// sets its buffer and connects it; this keeps the loop, the context and the
// stream alive and in order. Header only: its two users are built into
// separate run-time modules, each linking libpulse itself.

#include <pulse/pulseaudio.h>

namespace lk {

class PulseClient {
 public:
  PulseClient() = default;
  PulseClient(const PulseClient&) = delete;
  PulseClient& operator=(const PulseClient&) = delete;

  ~PulseClient() {
    if (loop_ == nullptr) return;
    stop();
    if (stream_ != nullptr) {
      pa_stream_disconnect(stream_);
      pa_stream_unref(stream_);
    }
    if (context_ != nullptr) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
    pa_threaded_mainloop_free(loop_);
  }

  // Creates the loop and the context and starts connecting; false when that
  // fails at once. No autospawn: without a running server the caller's
  // fallback takes over.
  bool connect() {
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr) return false;
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "LuminaKey");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "luminakey");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "LuminaKey", props);
    pa_proplist_free(props);
    if (context_ == nullptr) return false;
    pa_context_set_state_callback(context_, &PulseClient::contextChanged, loop_);
    return pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
  }

  // With the lock held: starts the loop's thread and waits until the
  // context is ready (true) or has failed (false).
  bool runUntilReady() {
    if (pa_threaded_mainloop_start(loop_) != 0) return false;
    for (;;) {
      const pa_context_state_t state = pa_context_get_state(context_);
      if (state == PA_CONTEXT_READY) return true;
      if (!PA_CONTEXT_IS_GOOD(state)) return false;
      pa_threaded_mainloop_wait(loop_);
    }
  }

  // With the lock held: the stream, named and given its media role, its
  // state changes waking the waiting thread. Null on failure.
  pa_stream* newStream(const char* name, const pa_sample_spec& spec, const char* role) {
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, role);
    stream_ = pa_stream_new_with_proplist(context_, name, &spec, nullptr, props);
    pa_proplist_free(props);
    if (stream_ != nullptr) pa_stream_set_state_callback(stream_, &PulseClient::streamChanged, loop_);
    return stream_;
  }

  // With the lock held, after connecting the stream: waits until it plays
  // (true) or has failed (false).
  bool waitForStream() {
    for (;;) {
      const pa_stream_state_t state = pa_stream_get_state(stream_);
      if (state == PA_STREAM_READY) return true;
      if (!PA_STREAM_IS_GOOD(state)) return false;
      pa_threaded_mainloop_wait(loop_);
    }
  }

  // Ends the loop's thread: no callback runs after this returns. Call
  // without the lock held.
  void stop() {
    if (loop_ != nullptr && !stopped_) pa_threaded_mainloop_stop(loop_);
    stopped_ = true;
  }

  void lock() { pa_threaded_mainloop_lock(loop_); }
  void unlock() { pa_threaded_mainloop_unlock(loop_); }

  pa_stream* stream() const { return stream_; }

 private:
  static void contextChanged(pa_context*, void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
  }
  static void streamChanged(pa_stream*, void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
  }

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  bool stopped_ = false;
};

}  // namespace lk
