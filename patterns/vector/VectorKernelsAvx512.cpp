// The kernels for processors with AVX-512F: eight lanes. Built with -mavx512f.
#include <immintrin.h>

#define LUMORA_VECTOR __m512d
#define LUMORA_VECTOR_PAIR Sleef___m512d_2
#define LUMORA_LANES 8
#define LUMORA_WIDTH d8
#define LUMORA_ISA avx512f
#define LUMORA_ISA_NAME "AVX-512F"
#define LUMORA_KERNELS vectorKernelsAvx512
#include "VectorKernels.inc"
