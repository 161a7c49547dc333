// The least a PulseAudio client can do with a take: read the default
// source at the recorder's format and copy each block into memory, with
// nothing else (no window, no file). Its memory is made (zeroed) before
// the bench counts, so its page faults are not in the count: the cheapest
// case of what the recorder's capture does. The CPU
// bench runs it beside parecord to show what recording costs any client of
// the sound server on this machine. Built by the bench itself:
//   g++ -O2 bench/pulse_floor.cpp $(pkg-config --cflags --libs libpulse)
#include <pulse/pulseaudio.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::vector<char> take(std::size_t(44100) * 4 * 600); // ten minutes, zeroed here
std::size_t used = 0;

void readable(pa_stream* s, std::size_t, void*) {
    const void* data = nullptr;
    std::size_t length = 0;
    while (pa_stream_readable_size(s) > 0 && pa_stream_peek(s, &data, &length) == 0 && length > 0) {
        if (data && used + length <= take.size()) {
            std::memcpy(take.data() + used, data, length);
            used += length;
        }
        pa_stream_drop(s);
    }
}

void contextState(pa_context* c, void*) {
    const pa_context_state_t state = pa_context_get_state(c);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
        std::exit(1);
    if (state != PA_CONTEXT_READY)
        return;
    const pa_sample_spec spec{PA_SAMPLE_S16LE, 44100, 2};
    pa_stream* s = pa_stream_new(c, "pulse_floor", &spec, nullptr);
    pa_buffer_attr attr;
    std::memset(&attr, 0xff, sizeof attr);
    attr.fragsize = 4096; // the recorder's block: 1024 frames
    pa_stream_set_read_callback(s, readable, nullptr);
    pa_stream_connect_record(s, nullptr, &attr, PA_STREAM_NOFLAGS);
}

} // namespace

int main() {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* c = pa_context_new(pa_mainloop_get_api(loop), "pulse_floor");
    pa_context_set_state_callback(c, contextState, nullptr);
    if (pa_context_connect(c, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
        return 1;
    int result = 0;
    pa_mainloop_run(loop, &result);
    return result;
}
