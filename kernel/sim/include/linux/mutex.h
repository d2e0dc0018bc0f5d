#ifndef SIM_LINUX_MUTEX_H
#define SIM_LINUX_MUTEX_H

struct mutex {
	const char *name;
	int count;
};

static inline void __mutex_init(struct mutex *lock, const char *name)
{
	lock->name = name;
	lock->count = 1;
}

/* Named after the expression, as the lock validator names it. */
#define mutex_init(lock) __mutex_init((lock), #lock)

#endif
