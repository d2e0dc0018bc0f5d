#ifndef SIM_LINUX_MODULE_H
#define SIM_LINUX_MODULE_H

#include <linux/types.h>
#include <linux/kernel.h>
#include <linux/init.h>
#include <linux/moduleparam.h>

struct module;

/* Code built into the simulated kernel has no module of its own. */
#define THIS_MODULE ((struct module *)0)

/* The symbol table of the loaded module: other code looks exports up by name. */
void sim_export_symbol(const char *name, void (*addr)(void));

#define EXPORT_SYMBOL(sym) \
	__SIM_AT_LOAD(__sim_ksym_##sym, sim_export_symbol(#sym, (void (*)(void))(sym)))
#define EXPORT_SYMBOL_GPL(sym) EXPORT_SYMBOL(sym)

#define __SIM_MODINFO(tag, value) \
	__SIM_AT_LOAD(__SIM_UNIQUE(__sim_modinfo_), sim_register_modinfo(tag, "", value))

#define MODULE_LICENSE(s) __SIM_MODINFO("license", s)
#define MODULE_DESCRIPTION(s) __SIM_MODINFO("description", s)
#define MODULE_AUTHOR(s) __SIM_MODINFO("author", s)

#endif
