/*
 * The codec module's exports, callable by name with integer arguments, each
 * converted to its parameter's type as a C caller's would be. Used by the
 * aic31-sim program and the tests; free of kernel headers.
 */
#ifndef KERNEL_HARNESS_TI_CALLS_H
#define KERNEL_HARNESS_TI_CALLS_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TI_CALL_MAX_ARGS 6

struct ti_result {
	int is_void;
	int is_unsigned;
	long long value;
};

struct ti_call {
	const char *name;
	int arity;
	/* sym: the export as found in the loaded module's symbol table */
	struct ti_result (*invoke)(void (*sym)(void), const long long *args);
};

const struct ti_call *ti_call_find(const char *name);
size_t ti_call_count(void);
const struct ti_call *ti_call_at(size_t index);

/* The module as the simulation loads it (a shared object). */
const char *aic31_module_path(void);

#ifdef __cplusplus
}
#endif

#endif
