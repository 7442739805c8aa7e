// The matrix-vector product: the straightforward loop, every dispatched
// path, the peers, and the cost of simply reading the matrix once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <utility>

#include "linalg/product_kernels.hpp"
#include "wave/wave_model.hpp"

#if defined(__x86_64__)
#include <immintrin.h>
#endif
#ifdef HAVE_OPENBLAS
#include <cblas.h>
#endif
#ifdef HAVE_EIGEN
#include <Eigen/Dense>
#endif

namespace {

struct Problem {
  std::vector<double> m, v, exact;
  std::int32_t n;
  explicit Problem(std::int32_t size)
      : m(static_cast<std::size_t>(size) * size), v(size), exact(size), n(size) {
    std::mt19937_64 random(size);
    std::normal_distribution<double> normal;
    for (double& x : m) x = normal(random);
    for (double& x : v) x = normal(random);
    multiplyInOrder(m.data(), v.data(), exact.data(), n);
  }
  int differingRows(const double* r) const {
    int differing = 0;
    for (std::int32_t i = 0; i < n; ++i) differing += std::memcmp(&r[i], &exact[i], sizeof(double)) != 0;
    return differing;
  }
};

void report(benchmark::State& state, const Problem& p, const double* result) {
  state.counters["differing_rows"] = p.differingRows(result);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * p.n * p.n * 8);
}

void productOnPath(benchmark::State& state, const ProductPath& path) {
  if (!path.runsHere()) return state.SkipWithError("not available on this processor");
  const Problem p(static_cast<std::int32_t>(state.range(0)));
  std::vector<double> r(p.n);
  const ProductKernel kernel = path.kernel;
  for (auto _ : state) {
    kernel(p.m.data(), p.v.data(), r.data(), p.n);
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  report(state, p, r.data());
}

#if defined(__x86_64__)
// Nothing reads the matrix faster than adding up its elements with the
// widest adds the processor has: the floor for any product. Each width asks
// for its own instructions, and is used only where the processor has them.
__attribute__((target("avx512f"))) double sumAvx512(const double* m, std::size_t count) {
  __m512d a = _mm512_setzero_pd(), b = a, c = a, d = a;
  std::size_t k = 0;
  for (; k + 32 <= count; k += 32) {
    a = _mm512_add_pd(a, _mm512_loadu_pd(m + k));
    b = _mm512_add_pd(b, _mm512_loadu_pd(m + k + 8));
    c = _mm512_add_pd(c, _mm512_loadu_pd(m + k + 16));
    d = _mm512_add_pd(d, _mm512_loadu_pd(m + k + 24));
  }
  double lanes[8];
  _mm512_storeu_pd(lanes, _mm512_add_pd(_mm512_add_pd(a, b), _mm512_add_pd(c, d)));
  double sum = 0.0;
  for (double lane : lanes) sum += lane;
  for (; k < count; ++k) sum += m[k];
  return sum;
}

__attribute__((target("avx2"))) double sumAvx2(const double* m, std::size_t count) {
  __m256d a = _mm256_setzero_pd(), b = a, c = a, d = a;
  std::size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    a = _mm256_add_pd(a, _mm256_loadu_pd(m + k));
    b = _mm256_add_pd(b, _mm256_loadu_pd(m + k + 4));
    c = _mm256_add_pd(c, _mm256_loadu_pd(m + k + 8));
    d = _mm256_add_pd(d, _mm256_loadu_pd(m + k + 12));
  }
  double lanes[4];
  _mm256_storeu_pd(lanes, _mm256_add_pd(_mm256_add_pd(a, b), _mm256_add_pd(c, d)));
  double sum = lanes[0] + lanes[1] + lanes[2] + lanes[3];
  for (; k < count; ++k) sum += m[k];
  return sum;
}

__attribute__((target("sse2"))) double sumSse2(const double* m, std::size_t count) {
  __m128d a = _mm_setzero_pd(), b = a, c = a, d = a;
  std::size_t k = 0;
  for (; k + 8 <= count; k += 8) {
    a = _mm_add_pd(a, _mm_loadu_pd(m + k));
    b = _mm_add_pd(b, _mm_loadu_pd(m + k + 2));
    c = _mm_add_pd(c, _mm_loadu_pd(m + k + 4));
    d = _mm_add_pd(d, _mm_loadu_pd(m + k + 6));
  }
  double lanes[2];
  _mm_storeu_pd(lanes, _mm_add_pd(_mm_add_pd(a, b), _mm_add_pd(c, d)));
  double sum = lanes[0] + lanes[1];
  for (; k < count; ++k) sum += m[k];
  return sum;
}

void streamMatrix(benchmark::State& state) {
  const Problem p(static_cast<std::int32_t>(state.range(0)));
  auto sum = sumSse2;
  state.SetLabel("sse2 adds");
  if (__builtin_cpu_supports("avx512f")) {
    sum = sumAvx512;
    state.SetLabel("avx512 adds");
  } else if (__builtin_cpu_supports("avx2")) {
    sum = sumAvx2;
    state.SetLabel("avx2 adds");
  }
  for (auto _ : state) benchmark::DoNotOptimize(sum(p.m.data(), p.m.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * p.n * p.n * 8);
}
BENCHMARK(streamMatrix)->Arg(201);
#endif

#ifdef HAVE_OPENBLAS
void openblasDgemv(benchmark::State& state) {
  const Problem p(static_cast<std::int32_t>(state.range(0)));
  std::vector<double> r(p.n);
  for (auto _ : state) {
    cblas_dgemv(CblasRowMajor, CblasNoTrans, p.n, p.n, 1.0, p.m.data(), p.n, p.v.data(), 1, 0.0, r.data(), 1);
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  report(state, p, r.data());
}
BENCHMARK(openblasDgemv)->Arg(201);
#endif

#ifdef HAVE_EIGEN
void eigenProduct(benchmark::State& state) {
  const Problem p(static_cast<std::int32_t>(state.range(0)));
  using RowMajor = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
  const Eigen::Map<const RowMajor> m(p.m.data(), p.n, p.n);
  const Eigen::Map<const Eigen::VectorXd> v(p.v.data(), p.n);
  Eigen::VectorXd r(p.n);
  for (auto _ : state) {
    r.noalias() = m * v;
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  report(state, p, r.data());
}
BENCHMARK(eigenProduct)->Arg(201);
#endif

// One whole frame as the program runs it: 51 steps, each allocating its
// three vectors.
void frame(benchmark::State& state, const ProductPath& path) {
  if (!path.runsHere()) return state.SkipWithError("not available on this processor");
  useProductPath(path);
  WaveState wave;
  ensureInitialized(wave);
  for (auto _ : state) {
    advance(wave);
    // Keep the values in the range of the first few hundred frames, where
    // the program spends its time, rather than letting them overflow.
    state.PauseTiming();
    if (std::abs(wave.shown[0]) > 1e6) {
      wave = WaveState();
      ensureInitialized(wave);
    }
    state.ResumeTiming();
  }
  useProductPath(preferredProductPath());
}

void registerAll() {
  for (const ProductPath& path : PRODUCT_PATHS)
    benchmark::RegisterBenchmark((std::string("product/") + path.name).c_str(), productOnPath, path)
        ->Arg(201);
  const ProductPath& fast = preferredProductPath();
  benchmark::RegisterBenchmark("frame/in_order", frame, IN_ORDER);
  benchmark::RegisterBenchmark((std::string("frame/") + fast.name).c_str(), frame, fast);
  // n = 201 is measured once, above: a second measurement of the same
  // product would differ from it by the run's noise and confuse the tables.
  benchmark::RegisterBenchmark((std::string("scaling/") + fast.name).c_str(), productOnPath, fast)
      ->Arg(51)
      ->Arg(101)
      ->Arg(401)
      ->Arg(801)
      ->Arg(1601);
}

// What the page says about the machine: the processor as the system names
// it, and the path the dispatcher chooses on it.
void describeMachine() {
  const std::pair<const char*, const char*> fields[] = {{"model name", "cpu_model_name"},
                                                        {"vendor_id", "cpu_vendor"},
                                                        {"cpu family", "cpu_family"},
                                                        {"model", "cpu_model"}};
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line) && !line.empty();) {  // the first processor's lines
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon + 2 > line.size()) continue;
    const std::string key = line.substr(0, line.find_last_not_of(" \t", colon - 1) + 1);
    for (const auto& [name, contextKey] : fields)
      if (key == name) benchmark::AddCustomContext(contextKey, line.substr(colon + 2));
  }
  benchmark::AddCustomContext("dispatcher_path", preferredProductPath().name);
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  describeMachine();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
