#include "cli/commands.h"

#include <cstdio>

int runNames(const std::string&)
{
    std::fputs("lumaro-inspect: names is not available yet\n", stderr);
    return 2;
}
