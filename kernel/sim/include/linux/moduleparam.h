#ifndef SIM_LINUX_MODULEPARAM_H
#define SIM_LINUX_MODULEPARAM_H

#include <linux/types.h>
#include <linux/kernel.h>

/* Parameters are registered with the loader when the module is mapped, so
 * that the load command line can fill them in before the init call. */
void sim_register_param_array(const char *name, const char *type, void *array,
			      unsigned int elem_size, unsigned int max,
			      unsigned int *num);
void sim_register_modinfo(const char *tag, const char *name, const char *value);

#define __SIM_CAT2(a, b) a##b
#define __SIM_CAT(a, b) __SIM_CAT2(a, b)
#define __SIM_UNIQUE(prefix) __SIM_CAT(prefix, __COUNTER__)

#define __SIM_AT_LOAD(fn, body) \
	static void __attribute__((constructor)) fn(void) { body; }

#define module_param_array(name, type, nump, perm) \
	__SIM_AT_LOAD(__SIM_CAT(__sim_param_, name), \
		(void)(perm); \
		sim_register_param_array(#name, #type, (name), sizeof((name)[0]), \
					 ARRAY_SIZE(name), (nump)))

#define MODULE_PARM_DESC(var, desc) \
	__SIM_AT_LOAD(__SIM_CAT(__sim_parmdesc_, var), \
		sim_register_modinfo("parmdesc", #var, desc))

#endif
