/* printk and the formatting helpers a module may call. */
#include <linux/kernel.h>
#include <linux/string.h>

#include <stdio.h>
#include <stdlib.h>

#include "sim_internal.h"

static char *klog_text;
static size_t klog_len;
static size_t klog_cap;

static void klog_append(const char *s, size_t n)
{
	if (klog_len + n + 1 > klog_cap) {
		size_t cap = klog_cap ? klog_cap : 4096;
		char *grown;

		while (klog_len + n + 1 > cap)
			cap *= 2;
		grown = realloc(klog_text, cap);
		if (!grown)
			return;	/* a full log drops the line, as a ring would */
		klog_text = grown;
		klog_cap = cap;
	}
	memcpy(klog_text + klog_len, s, n);
	klog_len += n;
	klog_text[klog_len] = '\0';
}

int vprintk(const char *fmt, va_list args)
{
	char line[1024];
	int n = vsnprintf(line, sizeof(line), fmt, args);

	if (n < 0)
		return n;
	if ((size_t)n >= sizeof(line))
		n = sizeof(line) - 1;
	klog_append(line, (size_t)n);
	if (sim_echo_flags() & SIM_ECHO_KLOG) {
		fwrite(line, 1, (size_t)n, stderr);
		fflush(stderr);
	}
	return n;
}

int printk(const char *fmt, ...)
{
	va_list args;
	int n;

	va_start(args, fmt);
	n = vprintk(fmt, args);
	va_end(args);
	return n;
}

int vscnprintf(char *buf, size_t size, const char *fmt, va_list args)
{
	int n;

	if (size == 0)
		return 0;
	n = vsnprintf(buf, size, fmt, args);
	if (n < 0)
		return 0;
	return (size_t)n >= size ? (int)(size - 1) : n;
}

int scnprintf(char *buf, size_t size, const char *fmt, ...)
{
	va_list args;
	int n;

	va_start(args, fmt);
	n = vscnprintf(buf, size, fmt, args);
	va_end(args);
	return n;
}

size_t strlcpy(char *dest, const char *src, size_t size)
{
	size_t len = strlen(src);

	if (size) {
		size_t n = len >= size ? size - 1 : len;

		memcpy(dest, src, n);
		dest[n] = '\0';
	}
	return len;
}

const char *sim_klog(void)
{
	return klog_text ? klog_text : "";
}

void sim_klog_clear(void)
{
	klog_len = 0;
	if (klog_text)
		klog_text[0] = '\0';
}

void sim_klog_reset(void)
{
	free(klog_text);
	klog_text = NULL;
	klog_len = klog_cap = 0;
}
