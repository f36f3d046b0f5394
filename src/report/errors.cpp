#include "sfnt/errors.h"

std::string BlankSigned(long long value)
{
    return (value < 0 ? "-" : " ") + std::to_string(value < 0 ? -value : value);
}
