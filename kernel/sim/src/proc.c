/*
 * /proc entries with page-buffer read handlers, and the read loop that turns
 * them into a file: a fresh page per call, at most PROC_BLOCK_SIZE bytes
 * asked for, the offset advanced by what the handler delivered, until it says
 * end-of-file or delivers nothing.
 */
#include <linux/errno.h>
#include <linux/proc_fs.h>
#include <linux/kernel.h>
#include <asm/page.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "sim_internal.h"

#define MAX_ENTRIES 8
#define PROC_BLOCK_SIZE (PAGE_SIZE - 1024)
#define PROC_TEXT_MAX (1024 * 1024)

static struct proc_dir_entry *entries[MAX_ENTRIES];
static char *text;

static struct proc_dir_entry **find(const char *name)
{
	int i;

	for (i = 0; i < MAX_ENTRIES; i++)
		if (entries[i] && strcmp(entries[i]->name, name) == 0)
			return &entries[i];
	return NULL;
}

struct proc_dir_entry *create_proc_entry(const char *name, mode_t mode,
					 struct proc_dir_entry *parent)
{
	struct proc_dir_entry *e;
	int i;

	(void)parent;
	if (find(name))
		return NULL;
	for (i = 0; i < MAX_ENTRIES && entries[i]; i++)
		;
	if (i == MAX_ENTRIES)
		return NULL;
	e = calloc(1, sizeof(*e) + strlen(name) + 1);
	if (!e)
		return NULL;
	e->name = strcpy((char *)(e + 1), name);
	e->mode = mode;
	entries[i] = e;
	return e;
}

void remove_proc_entry(const char *name, struct proc_dir_entry *parent)
{
	struct proc_dir_entry **e = find(name);

	(void)parent;
	if (e) {
		free(*e);
		*e = NULL;
	}
}

int sim_proc_exists(const char *name)
{
	return find(name) != NULL;
}

void sim_proc_reset(void)
{
	int i;

	for (i = 0; i < MAX_ENTRIES; i++) {
		free(entries[i]);
		entries[i] = NULL;
	}
	free(text);
	text = NULL;
}

/* One handler call; the data it points at must lie inside its page. */
static int read_once(struct proc_dir_entry *e, char *page, long off, int count,
		     char **start, int *eof)
{
	int n;

	*start = NULL;
	*eof = 0;
	n = e->read_proc(page, start, off, count, eof, e->data);
	if (n <= 0)
		return n;
	if (!*start) {
		/* the whole text from the page's start: serve the window at off */
		if (off < 0)
			return -EFAULT;
		if (off >= n)
			return 0;
		n -= (int)off;
		if (n > count)
			n = count;
		*start = page + off;
	}
	if ((uintptr_t)*start < (uintptr_t)page || n > count ||
	    (uintptr_t)*start + (size_t)n > (uintptr_t)page + PAGE_SIZE)
		return -EFAULT;
	return n;
}

int sim_proc_read_once(const char *name, long off, int count, char *out, int *eof)
{
	struct proc_dir_entry **e = find(name);
	char *page, *start;
	int n;

	if (!e || !(*e)->read_proc)
		return -ENOENT;
	page = malloc(PAGE_SIZE);
	if (!page)
		return -ENOMEM;
	n = read_once(*e, page, off, count, &start, eof);
	if (n > 0)
		memcpy(out, start, (size_t)n);
	free(page);
	return n;
}

long sim_proc_read(const char *name, const char **result)
{
	struct proc_dir_entry **e = find(name);
	char *page, *start;
	size_t len = 0;
	int eof = 0, n;

	*result = "";
	if (!e || !(*e)->read_proc)
		return -ENOENT;
	free(text);
	text = malloc(1);
	page = malloc(PAGE_SIZE);
	if (!text || !page) {
		free(page);
		return -ENOMEM;
	}
	while (!eof) {
		char *grown;

		if (len >= PROC_TEXT_MAX)
			break;	/* a handler that never ends its text */

		n = read_once(*e, page, (long)len, (int)PROC_BLOCK_SIZE, &start, &eof);
		if (n < 0) {
			free(page);
			return n;
		}
		if (n == 0)
			break;
		grown = realloc(text, len + (size_t)n + 1);
		if (!grown) {
			free(page);
			return -ENOMEM;
		}
		text = grown;
		memcpy(text + len, start, (size_t)n);
		len += (size_t)n;
	}
	free(page);
	text[len] = '\0';
	*result = text;
	return (long)len;
}
