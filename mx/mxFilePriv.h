// Helpers shared by the file, directory and disk wrappers; not part of the public header.
#ifndef MX_MXFILEPRIV_H
#define MX_MXFILEPRIV_H

#include <cerrno>

namespace mx {

// The result of a wrapper given a null argument: the call fails before reaching the system.
inline int invalidArgument()
{
    errno = EINVAL;
    return -1;
}

} // namespace mx

#endif
