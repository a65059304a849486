// The classic C library generator, with its state per thread, so a seeded
// sequence on one thread is never disturbed by another thread's draws.
#pragma once

constexpr int KV_RAND_MAX = 0x7FFF;

int Rand();
void SRand(unsigned int seed);
