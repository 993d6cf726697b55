#pragma once

#include <cstdint>

// The Windows C runtime's rand()/srand() generator, reproduced exactly so a
// given seed gives the same sequence in every build.
class CRandom
{
public:
    explicit CRandom(unsigned int seed = 1);
    void Seed(unsigned int seed);
    // Next draw, 0..32767.
    int Next();

private:
    std::uint32_t m_state;
};

// The one process-wide generator (seeded once per run by the main window).
CRandom& AfxGetRandom();
