#include "search/fit_tests.hpp"

#include <initializer_list>

bool fit_test_supported(FitTest test) {
    switch (test) {
    case FitTest::PLAIN:
        return true;
#if TANDOR_VECTOR_FIT_TESTS && defined(__clang__)
    // clang names the features one by one (the x86-64 levels' names are g++'s); every processor
    // with these also has the F16C, LZCNT and MOVBE that the loop's copies are compiled with.
    case FitTest::AVX2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
               __builtin_cpu_supports("fma") && __builtin_cpu_supports("popcnt");
    case FitTest::AVX512:
        return fit_test_supported(FitTest::AVX2) && __builtin_cpu_supports("avx512f") &&
               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512cd");
#elif TANDOR_VECTOR_FIT_TESTS
    case FitTest::AVX2:
        return __builtin_cpu_supports("x86-64-v3");
    case FitTest::AVX512:
        return __builtin_cpu_supports("x86-64-v4");
#else
    case FitTest::AVX2:
    case FitTest::AVX512:
        return false;
#endif
    }
    return false;
}

FitTest widest_fit_test() {
    for (FitTest test : {FitTest::AVX512, FitTest::AVX2})
        if (fit_test_supported(test))
            return test;
    return FitTest::PLAIN;
}

const char* fit_test_name(FitTest test) {
    switch (test) {
    case FitTest::PLAIN:
        return "plain loop";
    case FitTest::AVX2:
        return "AVX2, 4 lanes";
    case FitTest::AVX512:
        return "AVX-512, 8 lanes";
    }
    return "?";
}

FitTest engine_fit_test = widest_fit_test();
