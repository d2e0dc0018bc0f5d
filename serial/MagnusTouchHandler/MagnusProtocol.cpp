#include "serial/MagnusTouchHandler/MagnusProtocol.h"

#include "serial/PassThroughCommon/ReleaseReplay.h"

namespace magnus {

namespace {

bool startsWithFrame(const unsigned char* data, int count)
{
    return count > 0 && validHeader(data[0]) && frameSize(data[0]) <= count && checksumValid(data);
}

} // namespace

int repairBlock(unsigned char* data, int count)
{
    if (!data || count <= 0)
        return 0;
    int left = count;
    for (int i = 0; i < count && !startsWithFrame(data, left); ++i) {
        passthrough::dropFirst(data, left);
        --left;
    }
    return left;
}

} // namespace magnus
