#ifndef SIM_LINUX_TYPES_H
#define SIM_LINUX_TYPES_H

#include <stddef.h>
#include <linux/compiler.h>

typedef signed char s8;
typedef unsigned char u8;
typedef signed short s16;
typedef unsigned short u16;
typedef signed int s32;
typedef unsigned int u32;

/* The C library may define these as well when a simulation source uses both;
 * its guards keep the definitions from meeting twice. */
#ifndef __off_t_defined
typedef long off_t;
#define __off_t_defined
#endif
#ifndef __mode_t_defined
typedef unsigned int mode_t;
#define __mode_t_defined
#endif

typedef unsigned int gfp_t;

#endif
