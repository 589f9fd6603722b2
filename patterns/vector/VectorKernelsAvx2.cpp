// The kernels for processors with AVX2 and FMA: four lanes. Built with -mavx2 -mfma.
#include <immintrin.h>

#define LUMORA_VECTOR __m256d
#define LUMORA_VECTOR_PAIR Sleef___m256d_2
#define LUMORA_LANES 4
#define LUMORA_WIDTH d4
#define LUMORA_ISA avx2
#define LUMORA_ISA_NAME "AVX2"
#define LUMORA_KERNELS vectorKernelsAvx2
#include "VectorKernels.inc"
