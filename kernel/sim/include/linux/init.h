#ifndef SIM_LINUX_INIT_H
#define SIM_LINUX_INIT_H

/* Nothing is discarded after start-up in the simulation. */
#define __init
#define __exit
#define __initdata
#define __exitdata

/* The loader finds the entry points by these two names, as insmod does. */
#define module_init(fn) \
	int init_module(void); \
	int init_module(void) { return fn(); }
#define module_exit(fn) \
	void cleanup_module(void); \
	void cleanup_module(void) { fn(); }

#endif
