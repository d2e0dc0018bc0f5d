/* Kernel allocations come from the C heap; tests may make them fail. */
#include <linux/slab.h>
#include <linux/string.h>

#include <stdlib.h>

#include "sim_internal.h"

static int alloc_faults;

void sim_fail_allocs(int count)
{
	alloc_faults = count;
}

void sim_slab_reset(void)
{
	alloc_faults = 0;
}

void *kmalloc(size_t size, gfp_t flags)
{
	(void)flags;
	if (alloc_faults > 0) {
		alloc_faults--;
		return NULL;
	}
	return malloc(size ? size : 1);
}

void *kzalloc(size_t size, gfp_t flags)
{
	void *p = kmalloc(size, flags);

	if (p)
		memset(p, 0, size);
	return p;
}

void kfree(const void *p)
{
	free((void *)p);
}
