// Soundtrack synthesis and encoding speed. The content tool makes the
// soundtrack on every run; these figures show what it costs.

#include "tools/music/arrangement.h"
#include "tools/music/mixer.h"
#include "tools/music/mp3_codec.h"
#include "tools/music/soundtrack.h"
#include "tools/music/timeline.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

// The whole piece: mixing on one thread, encoding on another (seconds).
void BM_WriteSoundtrack(benchmark::State& state) {
    const std::string path = "/tmp/murmur_bench_soundtrk.mp3";
    for (auto _ : state) {
        std::string error;
        if (!music::writeSoundtrack(path, error)) state.SkipWithError(error.c_str());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteSoundtrack)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// Mixing alone, per second of music (the drop: the busiest stretch).
void BM_MixTenSeconds(benchmark::State& state) {
    music::Arrangement arrangement = music::arrangeSoundtrack();
    const std::int64_t from = music::frameAt(music::timeline::kDrop);
    for (music::Track& track : arrangement.tracks) {
        std::erase_if(track.events, [&](const music::NoteEvent& e) { return e.start < from; });
        for (music::NoteEvent& e : track.events) e.start -= from;
    }
    for (auto _ : state) {
        auto pcm = music::mixArrangement(arrangement, 44100 * 10);
        benchmark::DoNotOptimize(pcm.data());
    }
    state.SetItemsProcessed(state.iterations() * 10);  // seconds of music
}
BENCHMARK(BM_MixTenSeconds)->Unit(benchmark::kMillisecond);

// Encoding alone: ten seconds of a tone at 192 kbit/s.
void BM_EncodeTenSeconds(benchmark::State& state) {
    std::vector<std::int16_t> pcm(44100 * 10 * 2);
    for (std::size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<std::int16_t>((i * 37) % 20000 - 10000);
    for (auto _ : state) {
        std::vector<unsigned char> mp3;
        std::string error;
        music::encodeMp3(pcm, 44100, 192, mp3, error);
        benchmark::DoNotOptimize(mp3.data());
    }
    state.SetItemsProcessed(state.iterations() * 10);
}
BENCHMARK(BM_EncodeTenSeconds)->Unit(benchmark::kMillisecond);

}  // namespace
