/* Shared between the pieces of the simulated kernel; not for modules. */
#ifndef KERNEL_SIM_INTERNAL_H
#define KERNEL_SIM_INTERNAL_H

#include <linux/types.h>
#include <linux/i2c.h>
#include "kernel/sim/sim.h"

/* Event log (events.c). */
void sim_record(const struct sim_event *ev);
void sim_events_reset(void);
int sim_echo_flags(void);

/* Kernel log (klog.c). */
void sim_klog_reset(void);

/* The codec on the bus (aic31.c): answers one transfer, or returns -ENXIO
 * when it does not acknowledge. *page gets the page it was on. */
void sim_codec_power_on(int present);
int sim_codec_present(void);
int sim_codec_xfer(char read_write, u8 command, int size,
		   union i2c_smbus_data *data, int *page);
void sim_codec_set_reset(int asserted);

/* The adapter (adapter.c). */
struct i2c_adapter *sim_adapter(void);
void sim_adapter_create(int byte_data);
void sim_adapter_destroy(void);

/* I2C core (i2c_core.c): offers a new adapter to every driver, forgets all. */
void sim_i2c_reset(void);

/* Board register latch (board.c). */
void sim_board_reset(void);

/* Allocator faults (slab.c), proc entries (proc.c), loader (loader.c). */
void sim_slab_reset(void);
void sim_proc_reset(void);
void sim_loader_reset(void);

#endif
