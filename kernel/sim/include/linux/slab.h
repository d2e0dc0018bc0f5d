#ifndef SIM_LINUX_SLAB_H
#define SIM_LINUX_SLAB_H

#include <linux/types.h>

#define GFP_ATOMIC 0x20u
#define GFP_KERNEL 0xd0u

void *kmalloc(size_t size, gfp_t flags);
void *kzalloc(size_t size, gfp_t flags);
void kfree(const void *p);

#endif
