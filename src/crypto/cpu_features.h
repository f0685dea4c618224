// Which x86 instruction-set extensions the engines may use for their hardware paths, read once
// from cpuid. Every engine keeps its portable code as the fallback; setting the environment
// variable KEYWRIGHT_PORTABLE=1 before the first engine call makes every engine take it, so that
// both paths can be tested on one machine.
#pragma once

struct CpuFeatures {
    // AES-NI with SSE4.1 (AESENC, AESDEC, AESKEYGENASSIST; PINSR, PBLENDW).
    bool aes = false;
    // The SHA extensions with SSE4.1 (SHA1RNDS4, SHA256RNDS2 and their message schedules).
    bool sha = false;
    // AVX2 with the Galois-field affine instructions (VGF2P8AFFINEQB, VGF2P8AFFINEINVQB).
    bool avx2_gfni = false;
};

// EngineCpuFeatures gives the extensions the engines use: those of this processor, or none when
// KEYWRIGHT_PORTABLE is 1 (any other value, or none, leaves the choice to cpuid). Read once.
const CpuFeatures& EngineCpuFeatures();
