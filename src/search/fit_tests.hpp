// The fit tests: which orientation slots of a piece fit on a cell, from the plain loop to the
// widest vector test, and the choice of one when the program starts. Each test has a copy of the
// search loop compiled for the processors that have its instructions (search/engine.cpp), and
// run_engine takes the copy of engine_fit_test.
#pragma once

#include <cstdint>

// The vector tests are x86-64's. Elsewhere (64-bit ARM) the build has the plain loop alone: the
// vector tests' names stand for it, and fit_test_supported never picks them.
#if defined(__x86_64__) || defined(__i386__)
#define TANDOR_VECTOR_FIT_TESTS 1
#include <immintrin.h>
#else
#define TANDOR_VECTOR_FIT_TESTS 0
#endif

#include "model/cell_set.hpp"
#include "search/placement_table.hpp"

enum class FitTest { PLAIN, AVX2, AVX512 };
inline constexpr FitTest ALL_FIT_TESTS[] = {FitTest::PLAIN, FitTest::AVX2, FitTest::AVX512};

// Whether this processor has the test's instructions; the plain loop runs everywhere.
bool fit_test_supported(FitTest test);
// The widest test that this processor has.
FitTest widest_fit_test();
// "plain loop", "AVX2, 4 lanes" or "AVX-512, 8 lanes", as --version and the benchmarks name it.
const char* fit_test_name(FitTest test);
// The test the search runs with: at start the widest that this processor has. Tests set it to
// run the search with each test in turn.
extern FitTest engine_fit_test;

// Each test answers which of a piece's MAX_ORIENTATIONS shapes (a row of the placement table,
// 64-byte aligned) leave every cell of `around` free: bit o is set when slot o fits. The vector
// tests may be called only where fit_test_supported says so. They are inline so that each copy
// of the loop has its test in it.
inline uint32_t fit_test_plain(const CellSet* shapes, CellSet around) {
    uint32_t fits = 0;
    for (int k = 0; k < MAX_ORIENTATIONS; ++k)
        fits |= static_cast<uint32_t>((shapes[k] & around) == 0) << k;
    return fits;
}

#if TANDOR_VECTOR_FIT_TESTS
[[gnu::target("avx2")]] inline uint32_t fit_test_avx2(const CellSet* shapes, CellSet around) {
    const __m256i taken = _mm256_set1_epi64x(static_cast<long long>(around));
    const __m256i zero = _mm256_setzero_si256();
    uint32_t fits = 0;
    for (int k = 0; k < MAX_ORIENTATIONS; k += 4) {
        const __m256i shape = _mm256_load_si256(reinterpret_cast<const __m256i*>(shapes + k));
        const __m256i clear = _mm256_cmpeq_epi64(_mm256_and_si256(shape, taken), zero);
        fits |= static_cast<uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(clear))) << k;
    }
    return fits;
}

[[gnu::target("avx512f")]] inline uint32_t fit_test_avx512(const CellSet* shapes, CellSet around) {
    const __m512i taken = _mm512_set1_epi64(static_cast<long long>(around));
    return static_cast<uint32_t>(_mm512_testn_epi64_mask(_mm512_load_si512(shapes), taken)) |
           static_cast<uint32_t>(_mm512_testn_epi64_mask(_mm512_load_si512(shapes + 8), taken)) << 8 |
           static_cast<uint32_t>(_mm512_testn_epi64_mask(_mm512_load_si512(shapes + 16), taken)) << 16;
}
#else
inline constexpr auto& fit_test_avx2 = fit_test_plain;
inline constexpr auto& fit_test_avx512 = fit_test_plain;
#endif
