#ifndef SIM_LINUX_COMPILER_H
#define SIM_LINUX_COMPILER_H

/* Address-space annotations mean nothing to an ordinary compiler. */
#define __iomem
#define __user
#define __force

#endif
