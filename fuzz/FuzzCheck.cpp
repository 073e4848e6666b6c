#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

void FuzzCheck(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}
