// The kernels for every x86-64: two lanes.
#include <emmintrin.h>

#define LUMORA_VECTOR __m128d
#define LUMORA_VECTOR_PAIR Sleef___m128d_2
#define LUMORA_LANES 2
#define LUMORA_WIDTH d2
#define LUMORA_ISA sse2
#define LUMORA_ISA_NAME "SSE2"
#define LUMORA_KERNELS vectorKernelsSse2
#include "VectorKernels.inc"
