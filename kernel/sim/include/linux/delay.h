#ifndef SIM_LINUX_DELAY_H
#define SIM_LINUX_DELAY_H

/* Sleeps advance the simulation's clock; nothing really waits. */
void msleep(unsigned int msecs);

#endif
