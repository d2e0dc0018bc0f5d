#ifndef SIM_ASM_SYSTEM_H
#define SIM_ASM_SYSTEM_H

/* Write barrier; the simulated board notes where one was placed. */
void sim_write_barrier(void);
#define wmb() sim_write_barrier()

#endif
