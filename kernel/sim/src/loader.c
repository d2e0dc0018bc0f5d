/*
 * Module loader: a module is a shared object built from the unchanged module
 * source. Mapping it runs its registration constructors (exports, parameters,
 * modinfo); then the load parameters are applied and init_module runs.
 * Unmapping after cleanup_module gives the next load fresh module data, as
 * insmod after rmmod does.
 */
#include <linux/errno.h>
#include <linux/moduleparam.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sim_internal.h"

#define MAX_SYMBOLS 64
#define MAX_PARAMS 16
#define MAX_INFO 32

struct ksym {
	const char *name;
	void (*addr)(void);
};

struct param {
	const char *name;
	const char *type;
	void *array;
	unsigned int elem_size;
	unsigned int max;
	unsigned int *num;
};

struct info {
	const char *tag;
	const char *name;
	const char *value;
};

static struct ksym symbols[MAX_SYMBOLS];
static size_t symbol_count;
static struct param params[MAX_PARAMS];
static size_t param_count;
static struct info infos[MAX_INFO];
static size_t info_count;
static void *handle;

void sim_export_symbol(const char *name, void (*addr)(void))
{
	if (symbol_count < MAX_SYMBOLS) {
		symbols[symbol_count].name = name;
		symbols[symbol_count].addr = addr;
		symbol_count++;
	}
}

void sim_register_param_array(const char *name, const char *type, void *array,
			      unsigned int elem_size, unsigned int max,
			      unsigned int *num)
{
	if (param_count < MAX_PARAMS) {
		struct param *p = &params[param_count++];

		p->name = name;
		p->type = type;
		p->array = array;
		p->elem_size = elem_size;
		p->max = max;
		p->num = num;
	}
}

void sim_register_modinfo(const char *tag, const char *name, const char *value)
{
	if (info_count < MAX_INFO) {
		infos[info_count].tag = tag;
		infos[info_count].name = name;
		infos[info_count].value = value;
		info_count++;
	}
}

void (*sim_symbol(const char *name))(void)
{
	size_t i;

	for (i = 0; i < symbol_count; i++)
		if (strcmp(symbols[i].name, name) == 0)
			return symbols[i].addr;
	return NULL;
}

size_t sim_symbol_count(void)
{
	return symbol_count;
}

const char *sim_symbol_name(size_t index)
{
	return index < symbol_count ? symbols[index].name : NULL;
}

const char *sim_modinfo(const char *tag, const char *name)
{
	size_t i;

	for (i = 0; i < info_count; i++)
		if (strcmp(infos[i].tag, tag) == 0 &&
		    strcmp(infos[i].name, name ? name : "") == 0)
			return infos[i].value;
	return NULL;
}

static struct param *find_param(const char *name, size_t len)
{
	size_t i;

	for (i = 0; i < param_count; i++)
		if (strlen(params[i].name) == len && strncmp(params[i].name, name, len) == 0)
			return &params[i];
	return NULL;
}

/* "v,v,..." into a short array, decimal or 0x-hex, ended by the list end
 * marker when there is room for it. */
static int set_short_array(struct param *p, const char *values, size_t len)
{
	unsigned short *array = p->array;
	unsigned int n = 0;
	const char *s = values, *end = values + len;

	if (strcmp(p->type, "short") != 0 || p->elem_size != sizeof(short))
		return -EINVAL;
	while (s < end) {
		char *stop;
		long v = strtol(s, &stop, 0);

		if (stop == s || stop > end || (stop < end && *stop != ',') ||
		    v < -32768 || v > 65535 || n >= p->max)
			return -EINVAL;
		array[n++] = (unsigned short)v;
		s = stop < end ? stop + 1 : stop;
	}
	if (n < p->max)
		array[n] = I2C_CLIENT_END;
	*p->num = n;
	return 0;
}

static int apply_params(const char *line)
{
	const char *s = line;

	while (s && *s) {
		const char *word, *eq;
		size_t len;
		struct param *p;
		int err;

		while (*s == ' ')
			s++;
		if (!*s)
			break;
		word = s;
		while (*s && *s != ' ')
			s++;
		eq = memchr(word, '=', (size_t)(s - word));
		if (!eq)
			return -EINVAL;
		len = (size_t)(eq - word);
		p = find_param(word, len);
		if (!p) {
			fprintf(stderr, "sim: unknown parameter '%.*s'\n", (int)len, word);
			return -ENOENT;
		}
		err = set_short_array(p, eq + 1, (size_t)(s - eq - 1));
		if (err) {
			fprintf(stderr, "sim: bad value for parameter '%.*s'\n", (int)len, word);
			return err;
		}
	}
	return 0;
}

static void forget_module(void)
{
	if (handle)
		dlclose(handle);
	handle = NULL;
	symbol_count = param_count = info_count = 0;
}

int sim_load_module(const char *path, const char *line)
{
	int (*init)(void);
	int rc;

	if (handle)
		return -EEXIST;
	handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
	if (!handle) {
		fprintf(stderr, "sim: cannot map module: %s\n", dlerror());
		return -ENOENT;
	}
	*(void **)&init = dlsym(handle, "init_module");
	rc = init ? apply_params(line) : -ENOEXEC;
	if (rc == 0)
		rc = init();
	if (rc != 0)
		forget_module();
	return rc;
}

int sim_module_loaded(void)
{
	return handle != NULL;
}

int sim_unload_module(void)
{
	void (*cleanup)(void);

	if (!handle)
		return -ENOENT;
	*(void **)&cleanup = dlsym(handle, "cleanup_module");
	if (cleanup)
		cleanup();
	forget_module();
	return 0;
}

void sim_loader_reset(void)
{
	forget_module();
}
