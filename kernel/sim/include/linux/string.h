#ifndef SIM_LINUX_STRING_H
#define SIM_LINUX_STRING_H

#include <linux/types.h>

void *memset(void *s, int c, size_t n);
void *memcpy(void *dest, const void *src, size_t n);
size_t strlen(const char *s);
int strcmp(const char *a, const char *b);
size_t strlcpy(char *dest, const char *src, size_t size);

#endif
