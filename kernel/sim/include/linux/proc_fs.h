#ifndef SIM_LINUX_PROC_FS_H
#define SIM_LINUX_PROC_FS_H

#include <linux/types.h>

struct module;

/* Page-buffer read handler: fill page, point *start at the data for offset off,
 * return how many bytes are there and set *eof once the text is complete. */
typedef int (read_proc_t)(char *page, char **start, off_t off, int count,
			  int *eof, void *data);

struct proc_dir_entry {
	const char *name;
	mode_t mode;
	struct module *owner;
	read_proc_t *read_proc;
	void *data;
};

struct proc_dir_entry *create_proc_entry(const char *name, mode_t mode,
					 struct proc_dir_entry *parent);
void remove_proc_entry(const char *name, struct proc_dir_entry *parent);

#endif
