#include "VectorKernels.h"

#include <atomic>

namespace lumora {

#if defined(LUMORA_HAVE_SLEEF)

extern const VectorKernels vectorKernelsSse2;
extern const VectorKernels vectorKernelsAvx2;
extern const VectorKernels vectorKernelsAvx512;

std::vector<const VectorKernels *> supportedVectorKernels()
{
    __builtin_cpu_init();
    std::vector<const VectorKernels *> sets;
    if (__builtin_cpu_supports("avx512f"))
        sets.push_back(&vectorKernelsAvx512);
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        sets.push_back(&vectorKernelsAvx2);
    // Every x86-64 has SSE2.
    sets.push_back(&vectorKernelsSse2);
    return sets;
}

namespace {
std::atomic<const VectorKernels *> &chosenKernels()
{
    static std::atomic<const VectorKernels *> chosen{supportedVectorKernels().front()};
    return chosen;
}
} // namespace

const VectorKernels *vectorKernels()
{
    return chosenKernels().load(std::memory_order_relaxed);
}

void useVectorKernels(const VectorKernels *kernels)
{
    chosenKernels().store(kernels);
}

#else

std::vector<const VectorKernels *> supportedVectorKernels()
{
    return {};
}

const VectorKernels *vectorKernels()
{
    return nullptr;
}

void useVectorKernels(const VectorKernels *)
{
}

#endif

} // namespace lumora
