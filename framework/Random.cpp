#include "framework/Random.h"

CRandom::CRandom(unsigned int seed) : m_state(seed)
{
}

void CRandom::Seed(unsigned int seed)
{
    m_state = seed;
}

int CRandom::Next()
{
    // Unsigned 32-bit arithmetic wraps, as the runtime's does.
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFF);
}

CRandom& AfxGetRandom()
{
    static CRandom random;
    return random;
}
