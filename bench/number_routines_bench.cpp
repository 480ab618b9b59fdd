// Cost of the float conversions and the sine/cosine pair on the software renderer's paths.
#include <benchmark/benchmark.h>

#include <vector>

#include "base/number_routines.h"

namespace {

std::vector<double> Inputs() {
    std::vector<double> values(1024);
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = (static_cast<double>(i) - 512.0) * 12345.678;
    }
    return values;
}

void BM_DoubleToInt(benchmark::State& state) {
    const std::vector<double> values = Inputs();
    for (auto _ : state) {
        int32_t sum = 0;
        for (double v : values) sum += DoubleToInt(v);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_DoubleToInt);

void BM_FloatToInt(benchmark::State& state) {
    std::vector<float> values;
    for (double v : Inputs()) values.push_back(static_cast<float>(v));
    for (auto _ : state) {
        int32_t sum = 0;
        for (float v : values) sum += FloatToInt(v);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_FloatToInt);

void BM_SinCosF(benchmark::State& state) {
    float angle = 0.0f;
    for (auto _ : state) {
        float s = 0.0f, c = 0.0f;
        SinCosF(angle, &s, &c);
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(c);
        angle += 0.001f;
    }
}
BENCHMARK(BM_SinCosF);

}  // namespace
